#pragma once

#include <duktape.h>

#include <string>
#include <string_view>

#include "frame/variant.h"

// Values between page scripts and the library:
//   undefined -> Empty (an omitted optional argument), null -> Null,
//   boolean -> Boolean, a whole number in the 32-bit range -> Long,
//   any other number -> Double, string -> String, Date -> Date,
//   any other object -> a value every conversion rejects (type mismatch);
// and back: Empty -> undefined, Null -> null, Boolean -> boolean,
// numbers -> number, String -> string, Date -> Date.
//
// None of these raises a script error or runs page code: dates are taken
// apart and built by small script helpers run under protection.
namespace vantrel::host {

// Compiles the helpers into the global stash; call once per heap.
void install_value_helpers(duk_context* ctx);

Variant read_variant(duk_context* ctx, duk_idx_t index);
void push_variant(duk_context* ctx, const Variant& value);

// Pushes UTF-8 text as a script string (characters outside the basic plane
// as two units, as scripts expect).
void push_text(duk_context* ctx, std::string_view utf8);

// The string at `index` as UTF-8 (the empty string for a non-string).
std::string read_utf8(duk_context* ctx, duk_idx_t index);

}  // namespace vantrel::host
