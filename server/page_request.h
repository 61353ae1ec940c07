#pragma once

#include <duktape.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/server_page.h"
#include "server/form_data.h"
#include "server/http_message.h"
#include "server/response_stream.h"

// The objects a page sees for one request, added to the page engine's
// globals:
//   Request(name), Request.QueryString(name), Request.Form(name),
//   Request.Cookies(name), Request.ServerVariables(name), Request.TotalBytes
//   Response.Flush(), Response.Clear(), Response.Redirect(url),
//   Response.AddHeader(name, value), Response.Cookies(name[, value]),
//   Response.Status, Response.ContentType, Response.Charset
//   Server.HTMLEncode(text), Server.URLEncode(text), Server.MapPath(path),
//   Server.ScriptTimeout
// Everything lives for the one request: nothing carries over to the next.
namespace vantrel::server {

struct RequestInfo {
  const HttpRequest* http = nullptr;
  std::string script_name;  // the page's path in the site, "/shop/order.asp"
  std::filesystem::path site_root;
  std::filesystem::path page_file;
  std::string remote_address;
  int remote_port = 0;
  std::string local_address;
  int local_port = 0;
};

struct ResponseCookie {
  std::string name;
  std::string value;
  std::string path = "/";
  std::string domain;
  std::string expires;
  bool secure = false;
  bool http_only = false;
};

class PageRequest : public host::ServerPageHooks {
 public:
  PageRequest(const host::PageProgram& program, const RequestInfo& info, ResponseStream& stream,
              int script_timeout_seconds);

  void install(duk_context* ctx, std::string* page) override;

  // The response's headers as the page set them.
  std::vector<Header> headers() const;
  // Sends the head (first time only) and what the page wrote so far.
  bool flush();

  // Applied to the first part of the body sent by flush().
  void set_first_part_filter(void (*filter)(std::string&)) { first_part_filter_ = filter; }

  std::optional<std::string> server_variable(std::string_view name) const;

  const RequestInfo& info() const { return info_; }
  std::chrono::steady_clock::time_point started() const { return started_; }
  ResponseStream& stream() { return stream_; }

  std::string status = "200 OK";
  std::string content_type = "text/html";
  std::string charset = "utf-8";
  std::vector<Header> added_headers;
  std::vector<ResponseCookie> cookies;
  int script_timeout_seconds;
  NameValues query;
  NameValues form;
  NameValues request_cookies;

 private:
  std::chrono::steady_clock::time_point started_;
  const RequestInfo& info_;
  ResponseStream& stream_;
  void (*first_part_filter_)(std::string&) = nullptr;
};

}  // namespace vantrel::server
