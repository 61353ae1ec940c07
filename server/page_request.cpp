#include "server/page_request.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <ctime>

#include "frame/automation_error.h"
#include "frame/variant.h"
#include "host/library_objects.h"
#include "host/script_engine.h"
#include "host/script_values.h"
#include "server/static_files.h"

namespace vantrel::server {

namespace {

using host::Outcome;
using host::push_automation_error;
using host::run_native;

constexpr std::int32_t kInvalidArgument = 5;
constexpr const char* kCookieKey = DUK_HIDDEN_SYMBOL("cookie");
constexpr std::string_view kHeadersSent =
    "The HTTP headers are already written to the client: set them before Response.Flush";

PageRequest& self(duk_context* ctx) { return static_cast<PageRequest&>(*PageRequest::of(ctx)); }

Outcome raise(duk_context* ctx, const char* source, const std::string& description) {
  push_automation_error(ctx, kInvalidArgument, source, description);
  return Outcome::Raise;
}

Outcome push_text(duk_context* ctx, const std::optional<std::string>& text) {
  if (text) {
    duk_push_lstring(ctx, text->data(), text->size());
  } else {
    duk_push_undefined(ctx);
  }
  return Outcome::Value;
}

// A value as text by the automation rules; undefined and null give "".
std::string text_argument(duk_context* ctx, duk_idx_t index) {
  if (duk_is_null_or_undefined(ctx, index)) return "";
  return to_text(host::read_variant(ctx, index));
}

bool is_header_safe(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

bool is_token(std::string_view text) {
  constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           kMarks.find(c) != std::string_view::npos;
  });
}

// Runs a setter's body unless the head is already out.
template <class Body>
duk_ret_t header_setter(duk_context* ctx, const char* source, Body&& body) {
  return run_native(ctx, [&] {
    try {
      if (self(ctx).stream().started()) return raise(ctx, source, std::string(kHeadersSent));
      return body();
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), source, e.description());
      return Outcome::Raise;
    }
  });
}

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
  return run_native(ctx, [&] {
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
    try {
      return push_text(ctx, look_up(page, collection, text_argument(ctx, 0)));
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Request", e.description());
      return Outcome::Raise;
    }
  });
}

duk_ret_t request_total_bytes(duk_context* ctx) {
  duk_push_number(ctx, static_cast<double>(self(ctx).info().http->body.size()));
  return 1;
}

// ---- Response --------------------------------------------------------------

// Response.Flush(): when the client has gone, the page stops (there is no
// one left to write for).
duk_ret_t response_flush(duk_context* ctx) {
  PageRequest& page = self(ctx);
  if (page.ended() || page.flush()) return 0;
  page.push_end(ctx);
  return duk_throw(ctx);
}

duk_ret_t response_clear(duk_context* ctx) {
  self(ctx).page()->clear();
  return 0;
}

duk_ret_t response_redirect(duk_context* ctx) {
  PageRequest& page = self(ctx);
  const duk_ret_t set = header_setter(ctx, "Response.Redirect", [&] {
    const std::string url = text_argument(ctx, 0);
    if (url.empty() || !is_header_safe(url)) {
      return raise(ctx, "Response.Redirect", "Response.Redirect needs a URL on one line");
    }
    page.status = "302 Found";
    page.added_headers.push_back({"Location", url});
    page.page()->assign("<html><body>Object moved to <a href=\"" + html_encode(url) +
                        "\">here</a>.</body></html>\n");
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
  (void)set;
  page.push_end(ctx);
  return duk_throw(ctx);
}

duk_ret_t response_add_header(duk_context* ctx) {
  return header_setter(ctx, "Response.AddHeader", [&] {
    const std::string name = text_argument(ctx, 0);
    const std::string value = text_argument(ctx, 1);
    if (!is_token(name) || !is_header_safe(value)) {
      return raise(ctx, "Response.AddHeader", "a header needs a name and a value on one line");
    }
    for (const std::string_view framing :
         {"content-length", "transfer-encoding", "connection", "date", "server"}) {
      if (equals_ignoring_case(name, framing)) {
        return raise(ctx, "Response.AddHeader", "the server sets the header '" + name + "' itself");
      }
    }
    self(ctx).added_headers.push_back({name, value});
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
}

enum ResponseProperty : int { kStatus, kContentType, kCharset };

std::string& response_property(PageRequest& page, int which) {
  return which == kStatus ? page.status : which == kContentType ? page.content_type : page.charset;
}

duk_ret_t response_get(duk_context* ctx) {
  const std::string& value = response_property(self(ctx), duk_get_current_magic(ctx));
  duk_push_lstring(ctx, value.data(), value.size());
  return 1;
}

// A status is "NNN" or "NNN reason" with NNN from 100 to 599.
std::optional<std::string> status_line(const std::string& text) {
  if (text.size() < 3 || !is_header_safe(text) || text[0] < '1' || text[0] > '5' ||
      std::isdigit(static_cast<unsigned char>(text[1])) == 0 ||
      std::isdigit(static_cast<unsigned char>(text[2])) == 0 ||
      (text.size() > 3 && text[3] != ' ')) {
    return std::nullopt;
  }
  if (text.size() > 3) return text;
  const int code = std::stoi(text);
  const std::string_view known = status_text(code);
  return known.starts_with(text) ? std::string(known) : text + " ";
}

duk_ret_t response_set(duk_context* ctx) {
  const int which = duk_get_current_magic(ctx);
  return header_setter(ctx, "Response", [&] {
    const std::string value = text_argument(ctx, 0);
    std::optional<std::string> accepted;
    if (which == kStatus) {
      accepted = status_line(value);
    } else if (is_header_safe(value) && (which == kContentType ? !value.empty() : true)) {
      accepted = value;
    }
    if (!accepted) {
      return raise(ctx, "Response",
                   which == kStatus ? "Response.Status reads like \"404 Not Found\""
                                    : "the value must be one line of text");
    }
    response_property(self(ctx), which) = *accepted;
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
}

// ---- Response.Cookies ------------------------------------------------------

enum CookieField : int { kValue, kPath, kDomain, kExpires, kSecure, kHttpOnly };
constexpr std::array<const char*, 6> kCookieFields = {"Value",   "Path",   "Domain",
                                                      "Expires", "Secure", "HttpOnly"};

ResponseCookie* cookie_of_this(duk_context* ctx) {
  duk_push_this(ctx);
  duk_get_prop_string(ctx, -1, kCookieKey);
  const double index = duk_get_number_default(ctx, -1, -1);
  duk_pop_2(ctx);
  auto& cookies = self(ctx).cookies;
  if (!(index >= 0 && index < static_cast<double>(cookies.size()))) return nullptr;
  return &cookies[static_cast<std::size_t>(index)];
}

duk_ret_t cookie_get(duk_context* ctx) {
  const ResponseCookie* cookie = cookie_of_this(ctx);
  if (cookie == nullptr) return 0;
  switch (duk_get_current_magic(ctx)) {
    case kSecure:
      duk_push_boolean(ctx, cookie->secure);
      return 1;
    case kHttpOnly:
      duk_push_boolean(ctx, cookie->http_only);
      return 1;
    default: {
      const int which = duk_get_current_magic(ctx);
      const std::string& text = which == kValue    ? cookie->value
                                : which == kPath   ? cookie->path
                                : which == kDomain ? cookie->domain
                                                   : cookie->expires;
      duk_push_lstring(ctx, text.data(), text.size());
      return 1;
    }
  }
}

// Milliseconds since 1970 of a Date (or a number), read under protection.
duk_ret_t to_number_safely(duk_context* ctx, void*) {
  duk_to_number(ctx, -1);
  return 1;
}

duk_ret_t cookie_set(duk_context* ctx) {
  const int which = duk_get_current_magic(ctx);
  double millis = NAN;
  if (which == kExpires && duk_is_object(ctx, 0)) {
    duk_dup(ctx, 0);
    if (duk_safe_call(ctx, &to_number_safely, nullptr, 1, 1) == DUK_EXEC_SUCCESS) {
      millis = duk_get_number(ctx, -1);
    }
    duk_pop(ctx);
  }
  ResponseCookie* cookie = cookie_of_this(ctx);
  return header_setter(ctx, "Response.Cookies", [&] {
    if (cookie == nullptr) return raise(ctx, "Response.Cookies", "no such cookie");
    if (which == kSecure || which == kHttpOnly) {
      (which == kSecure ? cookie->secure : cookie->http_only) = duk_to_boolean(ctx, 0) != 0;
    } else {
      std::string text = text_argument(ctx, 0);
      if (which == kExpires && !std::isnan(millis)) {
        text = http_date(static_cast<std::time_t>(std::floor(millis / 1000)));
      }
      if (!is_header_safe(text) || (which != kValue && text.find(';') != std::string::npos)) {
        return raise(ctx, "Response.Cookies", "a cookie's attribute must be one line without ';'");
      }
      (which == kValue    ? cookie->value
       : which == kPath   ? cookie->path
       : which == kDomain ? cookie->domain
                          : cookie->expires) = std::move(text);
    }
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
}

// Response.Cookies(name [, value]): the cookie to be set, as an object with
// Value, Path, Domain, Expires, Secure and HttpOnly.
duk_ret_t response_cookies(duk_context* ctx) {
  const bool has_value = !duk_is_undefined(ctx, 1);
  duk_idx_t index = -1;
  const duk_ret_t found = header_setter(ctx, "Response.Cookies", [&] {
    const std::string name = text_argument(ctx, 0);
    if (!is_token(name)) return raise(ctx, "Response.Cookies", "a cookie needs a plain name");
    auto& cookies = self(ctx).cookies;
    auto it = std::find_if(cookies.begin(), cookies.end(),
                           [&](const ResponseCookie& c) { return c.name == name; });
    if (it == cookies.end()) {
      cookies.push_back({});
      cookies.back().name = name;
      it = cookies.end() - 1;
    }
    if (has_value) it->value = text_argument(ctx, 1);
    index = static_cast<duk_idx_t>(it - cookies.begin());
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
  (void)found;
  duk_pop(ctx);
  duk_push_object(ctx);
  duk_push_int(ctx, index);
  duk_put_prop_string(ctx, -2, kCookieKey);
  const duk_idx_t object = duk_get_top_index(ctx);
  for (int field = kValue; field <= kHttpOnly; ++field) {
    duk_push_string(ctx, kCookieFields[static_cast<std::size_t>(field)]);
    duk_push_c_function(ctx, &cookie_get, 0);
    duk_set_magic(ctx, -1, field);
    duk_push_c_function(ctx, &cookie_set, 1);
    duk_set_magic(ctx, -1, field);
    duk_def_prop(ctx, object, DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER);
  }
  return 1;
}

// ---- Server ----------------------------------------------------------------

duk_ret_t server_html_encode(duk_context* ctx) {
  return run_native(ctx, [&] {
    try {
      return push_text(ctx, html_encode(text_argument(ctx, 0)));
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Server.HTMLEncode", e.description());
      return Outcome::Raise;
    }
  });
}

duk_ret_t server_url_encode(duk_context* ctx) {
  return run_native(ctx, [&] {
    try {
      return push_text(ctx, url_encode(text_argument(ctx, 0)));
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Server.URLEncode", e.description());
      return Outcome::Raise;
    }
  });
}

// Server.MapPath(path): the file path of a site path, "/x" from the site
// root and "x" from the page's folder; never outside the site.
duk_ret_t server_map_path(duk_context* ctx) {
  return run_native(ctx, [&] {
    try {
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
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Server.MapPath", e.description());
      return Outcome::Raise;
    }
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

// ---- installing ------------------------------------------------------------

void put_function(duk_context* ctx, const char* name, duk_c_function f, duk_idx_t args,
                  int magic = 0) {
  duk_push_c_function(ctx, f, args);
  duk_set_magic(ctx, -1, magic);
  duk_put_prop_string(ctx, -2, name);
}

void put_accessor(duk_context* ctx, const char* name, duk_c_function get, duk_c_function set,
                  int magic = 0) {
  const duk_idx_t object = duk_get_top_index(ctx);
  duk_push_string(ctx, name);
  duk_push_c_function(ctx, get, 0);
  duk_set_magic(ctx, -1, magic);
  duk_push_c_function(ctx, set, 1);
  duk_set_magic(ctx, -1, magic);
  duk_def_prop(ctx, object,
               DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER | DUK_DEFPROP_SET_ENUMERABLE);
}

std::string upper_variable(std::string_view header_name) {
  std::string name = "HTTP_";
  for (const char c : header_name) {
    name += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return name;
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
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

  duk_get_global_string(ctx, "Response");
  put_function(ctx, "Flush", &response_flush, 0);
  put_function(ctx, "Clear", &response_clear, 0);
  put_function(ctx, "Redirect", &response_redirect, 1);
  put_function(ctx, "AddHeader", &response_add_header, 2);
  put_function(ctx, "Cookies", &response_cookies, 2);
  put_accessor(ctx, "Status", &response_get, &response_set, kStatus);
  put_accessor(ctx, "ContentType", &response_get, &response_set, kContentType);
  put_accessor(ctx, "Charset", &response_get, &response_set, kCharset);
  duk_pop(ctx);

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
