#pragma once

#include <ctime>
#include <string>

#include "server/http_message.h"
#include "server/page_cache.h"
#include "server/response_stream.h"
#include "server/server_options.h"

// Answers one request: a server page, a static file of the site, the
// compatibility script, or an error status.
namespace vantrel::server {

struct Peer {
  std::string remote_address;
  int remote_port = 0;
  std::string local_address;
  int local_port = 0;
};

class RequestHandler {
 public:
  explicit RequestHandler(const ServerOptions& options);

  // Answers on `out`. `problem` receives what went wrong for the log (a page
  // error with its details), empty when nothing did.
  void handle(const HttpRequest& request, const Peer& peer, ResponseStream& out,
              std::string& problem) const;

  // Answers a request that could not be read.
  static void refuse(ResponseStream& out, int status);

 private:
  void serve_file(const HttpRequest& request, const std::filesystem::path& file,
                  ResponseStream& out) const;
  void serve_page(const HttpRequest& request, const std::string& script_name,
                  const std::filesystem::path& file, const Peer& peer, ResponseStream& out,
                  std::string& problem) const;
  void serve_compat_script(const HttpRequest& request, ResponseStream& out) const;
  void fail_page(ResponseStream& out, std::string_view status, const std::string& details) const;

  const ServerOptions& options_;
  bool show_details_;  // error details go to the client only on loopback
  std::time_t started_;
  mutable PageCache pages_;
};

}  // namespace vantrel::server
