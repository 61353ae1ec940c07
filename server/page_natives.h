#pragma once

#include <duktape.h>

#include <optional>
#include <string>
#include <string_view>

#include "frame/automation_error.h"
#include "host/library_objects.h"
#include "server/http_message.h"
#include "server/page_request.h"

// What the page objects' native functions share: the request they serve,
// arguments as text, results, errors, and how they are put on an object.
namespace vantrel::server::natives {

using host::Outcome;
using host::push_automation_error;
using host::run_native;

inline constexpr std::string_view kHeadersSent =
    "The HTTP headers are already written to the client: set them before Response.Flush";

inline PageRequest& self(duk_context* ctx) {
  return static_cast<PageRequest&>(*PageRequest::of(ctx));
}

Outcome raise(duk_context* ctx, const char* source, const std::string& description);
// Pushes the text, or undefined for none.
Outcome push_text(duk_context* ctx, const std::optional<std::string>& text);
// A value as text by the automation rules; undefined and null give "".
std::string text_argument(duk_context* ctx, duk_idx_t index);
// No CR, LF or NUL: safe inside a header.
bool is_header_safe(std::string_view text);

// Runs a setter's body unless the head is already out; after Response.End
// (a page that caught it) the response stays as it ended, and the setter
// does nothing.
template <class Body>
duk_ret_t header_setter(duk_context* ctx, const char* source, Body&& body) {
  return run_native(ctx, source, [&] {
    if (self(ctx).ended()) {
      duk_push_undefined(ctx);
      return Outcome::Value;
    }
    if (self(ctx).stream().started()) return raise(ctx, source, std::string(kHeadersSent));
    return body();
  });
}

// On the object at the top of the stack.
void put_function(duk_context* ctx, const char* name, duk_c_function f, duk_idx_t args,
                  int magic = 0);
void put_accessor(duk_context* ctx, const char* name, duk_c_function get, duk_c_function set,
                  int magic = 0);

// Adds Flush, Clear, Redirect, AddHeader, Cookies, Status, ContentType and
// Charset to the global Response.
void install_response_members(duk_context* ctx);

}  // namespace vantrel::server::natives
