#pragma once

#include <duktape.h>

#include <cstdint>
#include <string>

#include "platform/posix/com.h"

// Library objects as page scripts see them: `obj.Name` reads a property,
// `obj.Name = v` writes it, `obj.Method(a, b)` calls; names in any case.
// Each object is a script proxy over the object's dispatch interface; the
// reference is released when the script engine collects the proxy.
namespace vantrel::host {

// Creates the shared proxy handler; call once per heap.
void install_object_handler(duk_context* ctx);

// Pushes a proxy for `object`, taking over its reference.
void push_library_object(duk_context* ctx, posix::Dispatch* object);

// Pushes an Error carrying an automation error: .number, .source,
// .description and .message (the description).
void push_automation_error(duk_context* ctx, std::int32_t number, const std::string& source,
                           const std::string& description);

// Whether the value at `index` is an error pushed by push_automation_error.
bool is_automation_error(duk_context* ctx, duk_idx_t index);

}  // namespace vantrel::host
