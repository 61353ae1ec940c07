// The members a server adds to Response: streaming, redirects, the status and
// headers, and cookies, kept in the PageRequest until the head is sent.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <ctime>

#include "frame/text.h"
#include "host/script_values.h"
#include "server/page_natives.h"
#include "server/static_files.h"

namespace vantrel::server::natives {

namespace {

constexpr const char* kCookieKey = DUK_HIDDEN_SYMBOL("cookie");

// Response.Flush(): when the client has gone, the page stops (there is no
// one left to write for).
duk_ret_t response_flush(duk_context* ctx) {
  PageRequest& page = self(ctx);
  if (page.ended() || page.flush()) return 0;
  page.push_end(ctx);
  return duk_throw(ctx);
}

// After Response.End the response stays as it ended: nothing is cleared.
duk_ret_t response_clear(duk_context* ctx) {
  PageRequest& page = self(ctx);
  if (!page.ended()) page.page()->clear();
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
  host::push_text(ctx, value);
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

// A cookie's text attribute by its field number (Value, Path, Domain, Expires).
std::string& cookie_text(ResponseCookie& cookie, int which) {
  return which == kValue    ? cookie.value
         : which == kPath   ? cookie.path
         : which == kDomain ? cookie.domain
                            : cookie.expires;
}

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
  ResponseCookie* cookie = cookie_of_this(ctx);
  if (cookie == nullptr) return 0;
  switch (duk_get_current_magic(ctx)) {
    case kSecure:
      duk_push_boolean(ctx, cookie->secure);
      return 1;
    case kHttpOnly:
      duk_push_boolean(ctx, cookie->http_only);
      return 1;
    default:
      host::push_text(ctx, cookie_text(*cookie, duk_get_current_magic(ctx)));
      return 1;
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
      cookie_text(*cookie, which) = std::move(text);
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

}  // namespace

void install_response_members(duk_context* ctx) {
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
}

}  // namespace vantrel::server::natives
