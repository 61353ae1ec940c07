#include "server/page_request.h"

#include <algorithm>

#include "frame/text.h"
#include "frame/variant.h"
#include "host/library_objects.h"
#include "host/script_engine.h"
#include "host/script_values.h"
#include "server/page_natives.h"

namespace vantrel::server {

namespace {

using namespace natives;

// ---- Request ---------------------------------------------------------------

enum Collection : int { kQueryString, kForm, kCookies, kServerVariables, kAll };

std::optional<std::string> look_up(const PageRequest& page, int collection, std::string_view name) {
  switch (collection) {
    case kQueryString:
      return find_value(page.query, name);
    case kForm:
      return find_value(page.form, name);
    case kCookies:
      return find_value(page.request_cookies, name);
    case kServerVariables:
      return page.server_variable(name);
    default:
      for (const int c : {kQueryString, kForm, kCookies, kServerVariables}) {
        if (auto value = look_up(page, c, name)) return value;
      }
      return std::nullopt;
  }
}

// Request(name), Request.QueryString(name), ...: the value, or undefined;
// without a name, the collection's raw text.
duk_ret_t request_collection(duk_context* ctx) {
  const int collection = duk_get_current_magic(ctx);
  return run_native(ctx, "Request", [&] {
    const PageRequest& page = self(ctx);
    if (duk_is_undefined(ctx, 0)) {
      const HttpRequest& http = *page.info().http;
      switch (collection) {
        case kQueryString:
          return push_text(ctx, http.query);
        case kForm:
          return push_text(ctx, page.form.empty() ? std::string() : http.body);
        case kCookies:
          return push_text(ctx, http.header("cookie"));
        default:
          return push_text(ctx, std::nullopt);
      }
    }
    return push_text(ctx, look_up(page, collection, text_argument(ctx, 0)));
  });
}

duk_ret_t request_total_bytes(duk_context* ctx) {
  duk_push_number(ctx, static_cast<double>(self(ctx).info().http->body.size()));
  return 1;
}

// ---- Server ----------------------------------------------------------------

duk_ret_t server_html_encode(duk_context* ctx) {
  return run_native(ctx, "Server.HTMLEncode",
                    [&] { return push_text(ctx, html_encode(text_argument(ctx, 0))); });
}

duk_ret_t server_url_encode(duk_context* ctx) {
  return run_native(ctx, "Server.URLEncode",
                    [&] { return push_text(ctx, url_encode(text_argument(ctx, 0))); });
}

// Server.MapPath(path): the file path of a site path, "/x" from the site
// root and "x" from the page's folder; never outside the site.
duk_ret_t server_map_path(duk_context* ctx) {
  return run_native(ctx, "Server.MapPath", [&] {
    const PageRequest& page = self(ctx);
    std::string path = text_argument(ctx, 0);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string site_path = path;
    if (path.empty() || path[0] != '/') {
      const std::string& script = page.info().script_name;
      site_path = script.substr(0, script.rfind('/') + 1) + path;
    }
    const std::filesystem::path normal =
        std::filesystem::path(site_path).relative_path().lexically_normal();
    if (path.find('\0') != std::string::npos ||
        (normal.begin() != normal.end() && *normal.begin() == "..")) {
      return raise(ctx, "Server.MapPath", "the path '" + path + "' lies outside the site");
    }
    std::string mapped = (page.info().site_root / normal).lexically_normal().native();
    if (mapped.size() > 1 && mapped.back() == '/') mapped.pop_back();
    return push_text(ctx, mapped);
  });
}

duk_ret_t server_timeout_get(duk_context* ctx) {
  duk_push_int(ctx, self(ctx).script_timeout_seconds);
  return 1;
}

// Server.ScriptTimeout = seconds: the page's time limit, counted from its
// start; values outside 1 to 86400 are ignored.
duk_ret_t server_timeout_set(duk_context* ctx) {
  const double seconds = duk_get_number_default(ctx, 0, 0);
  if (seconds >= 1 && seconds <= 86400) {
    PageRequest& page = self(ctx);
    page.script_timeout_seconds = static_cast<int>(seconds);
    host::set_deadline(ctx, page.started() + std::chrono::seconds(page.script_timeout_seconds));
  }
  return 0;
}

std::string upper_variable(std::string_view header_name) {
  std::string name = "HTTP_";
  for (const char c : header_name) {
    name += c == '-' ? '_' : ascii_upper(c);
  }
  return name;
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_upper(c);
  return out;
}

}  // namespace

PageRequest::PageRequest(const host::PageProgram& program, const RequestInfo& info,
                         ResponseStream& stream, int script_timeout)
    : ServerPageHooks(program),
      script_timeout_seconds(script_timeout),
      started_(std::chrono::steady_clock::now()),
      info_(info),
      stream_(stream) {
  const HttpRequest& http = *info.http;
  query = parse_url_encoded(http.query);
  request_cookies = parse_cookies(http.header("cookie"));
  const std::string type = http.header("content-type");
  const std::string_view media = std::string_view(type).substr(0, type.find(';'));
  if (equals_ignoring_case(media, "application/x-www-form-urlencoded")) {
    form = parse_url_encoded(http.body);
  } else if (equals_ignoring_case(media, "multipart/form-data")) {
    if (!parse_multipart(http.body, type, form)) form.clear();
  }
}

void PageRequest::install(duk_context* ctx, std::string* page) {
  ServerPageHooks::install(ctx, page);

  duk_push_c_function(ctx, &request_collection, 1);
  duk_set_magic(ctx, -1, kAll);
  put_function(ctx, "QueryString", &request_collection, 1, kQueryString);
  put_function(ctx, "Form", &request_collection, 1, kForm);
  put_function(ctx, "Cookies", &request_collection, 1, kCookies);
  put_function(ctx, "ServerVariables", &request_collection, 1, kServerVariables);
  duk_push_string(ctx, "TotalBytes");
  duk_push_c_function(ctx, &request_total_bytes, 0);
  duk_def_prop(ctx, -3, DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_SET_ENUMERABLE);
  duk_put_global_string(ctx, "Request");

  install_response_members(ctx);

  duk_get_global_string(ctx, "Server");
  put_function(ctx, "HTMLEncode", &server_html_encode, 1);
  put_function(ctx, "URLEncode", &server_url_encode, 1);
  put_function(ctx, "MapPath", &server_map_path, 1);
  put_accessor(ctx, "ScriptTimeout", &server_timeout_get, &server_timeout_set);
  duk_pop(ctx);
}

std::vector<Header> PageRequest::headers() const {
  std::vector<Header> out;
  std::string type = content_type;
  if (!charset.empty() && type.find("charset") == std::string::npos) type += "; charset=" + charset;
  out.push_back({"Content-Type", std::move(type)});
  out.push_back({"Cache-Control", "private"});
  out.insert(out.end(), added_headers.begin(), added_headers.end());
  for (const ResponseCookie& c : cookies) {
    std::string text = c.name + "=" + url_encode(c.value);
    if (!c.path.empty()) text += "; Path=" + c.path;
    if (!c.domain.empty()) text += "; Domain=" + c.domain;
    if (!c.expires.empty()) text += "; Expires=" + c.expires;
    if (c.secure) text += "; Secure";
    if (c.http_only) text += "; HttpOnly";
    out.push_back({"Set-Cookie", std::move(text)});
  }
  return out;
}

bool PageRequest::flush() {
  if (!stream_.started()) {
    if (first_part_filter_ != nullptr) first_part_filter_(*page());
    if (!stream_.start_stream(status, headers())) return false;
  }
  const bool sent = stream_.send_part(*page());
  page()->clear();
  return sent;
}

std::optional<std::string> PageRequest::server_variable(std::string_view name) const {
  const std::string key = upper(name);
  const HttpRequest& http = *info_.http;
  if (key.starts_with("HTTP_")) {
    for (const Header& h : http.headers) {
      if (upper_variable(h.name) == key) return http.header(h.name);
    }
    return std::nullopt;
  }
  if (key == "REQUEST_METHOD") return http.method;
  if (key == "QUERY_STRING") return http.query;
  if (key == "PATH_INFO" || key == "SCRIPT_NAME" || key == "URL") return info_.script_name;
  if (key == "PATH_TRANSLATED" || key == "SCRIPT_FILENAME") return info_.page_file.native();
  if (key == "APPL_PHYSICAL_PATH") return info_.site_root.native() + "/";
  if (key == "REQUEST_URI") return http.target;
  if (key == "REMOTE_ADDR" || key == "REMOTE_HOST") return info_.remote_address;
  if (key == "REMOTE_PORT") return std::to_string(info_.remote_port);
  if (key == "LOCAL_ADDR") return info_.local_address;
  if (key == "SERVER_PORT") return std::to_string(info_.local_port);
  if (key == "SERVER_NAME") {
    std::string host = http.header("host");
    const std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) host.erase(colon);
    return host.empty() ? info_.local_address : host;
  }
  if (key == "SERVER_PROTOCOL") return http.minor_version == 0 ? "HTTP/1.0" : "HTTP/1.1";
  if (key == "SERVER_SOFTWARE") return "Vantrel";
  if (key == "GATEWAY_INTERFACE") return "CGI/1.1";
  if (key == "HTTPS") return "off";
  if (key == "CONTENT_TYPE") return http.header("content-type");
  if (key == "CONTENT_LENGTH") return std::to_string(http.body.size());
  if (key == "ALL_HTTP" || key == "ALL_RAW") {
    std::string all;
    for (const Header& h : http.headers) {
      all += key == "ALL_HTTP" ? upper_variable(h.name) : h.name;
      all += ": " + h.value + "\r\n";
    }
    return all;
  }
  return std::nullopt;
}

}  // namespace vantrel::server
