#include "server/page_natives.h"

#include <algorithm>

#include "host/script_values.h"

namespace vantrel::server::natives {

Outcome raise(duk_context* ctx, const char* source, const std::string& description) {
  push_automation_error(ctx, error_number::kInvalidArgument, source, description);
  return Outcome::Raise;
}

Outcome push_text(duk_context* ctx, const std::optional<std::string>& text) {
  if (text) {
    host::push_text(ctx, *text);  // astral characters as surrogate pairs
  } else {
    duk_push_undefined(ctx);
  }
  return Outcome::Value;
}

std::string text_argument(duk_context* ctx, duk_idx_t index) {
  if (duk_is_null_or_undefined(ctx, index)) return "";
  return to_text(host::read_variant(ctx, index));
}

bool is_header_safe(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
}

void put_function(duk_context* ctx, const char* name, duk_c_function f, duk_idx_t args, int magic) {
  duk_push_c_function(ctx, f, args);
  duk_set_magic(ctx, -1, magic);
  duk_put_prop_string(ctx, -2, name);
}

void put_accessor(duk_context* ctx, const char* name, duk_c_function get, duk_c_function set,
                  int magic) {
  const duk_idx_t object = duk_get_top_index(ctx);
  duk_push_string(ctx, name);
  duk_push_c_function(ctx, get, 0);
  duk_set_magic(ctx, -1, magic);
  duk_push_c_function(ctx, set, 1);
  duk_set_magic(ctx, -1, magic);
  duk_def_prop(ctx, object,
               DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_HAVE_SETTER | DUK_DEFPROP_SET_ENUMERABLE);
}

}  // namespace vantrel::server::natives
