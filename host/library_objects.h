#pragma once

#include <duktape.h>

#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "frame/automation_error.h"
#include "host/script_engine.h"
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
// .description and .message (the description). Its location is the page's
// line that made the call.
void push_automation_error(duk_context* ctx, std::int32_t number, const std::string& source,
                           const std::string& description);

// Pushes a TypeError raised by the host, located like an automation error.
void push_host_type_error(duk_context* ctx, std::string_view message);

// Whether the value at `index` is an error pushed by push_automation_error.
bool is_automation_error(duk_context* ctx, duk_idx_t index);

// What a native function's body left on top of the value stack: its result,
// or an error to raise.
enum class Outcome { Value, Raise };

// Runs the body of a native function: the body leaves its result or an
// error on the value stack, and the error is raised once the body's scope
// has ended. A C++ exception from the body (out of memory) becomes an
// automation error too. Errors the engine itself raises in the body unwind
// it as C++ exceptions of the engine's own type, which pass through here.
template <class Body>
duk_ret_t run_native(duk_context* ctx, Body&& body) {
  Outcome outcome = Outcome::Raise;
  try {
    outcome = body();
  } catch (const std::bad_alloc&) {
    note_out_of_memory(ctx);
    push_automation_error(ctx, 7, "", "Out of memory");
  } catch (const std::exception&) {
    push_automation_error(ctx, 51, "", "Internal error");
  }
  return outcome == Outcome::Raise ? duk_throw(ctx) : 1;
}

// The same for the native function `source` (as its errors name it): an
// automation error that the body throws is raised with that source.
template <class Body>
duk_ret_t run_native(duk_context* ctx, const char* source, Body&& body) {
  return run_native(ctx, [&] {
    try {
      return body();
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), source, e.description());
      return Outcome::Raise;
    }
  });
}

}  // namespace vantrel::host
