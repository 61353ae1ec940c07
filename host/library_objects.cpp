#include "host/library_objects.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "frame/automation_error.h"
#include "frame/dispatch.h"
#include "host/class_numbers.h"
#include "host/script_values.h"

namespace vantrel::host {

namespace {

// Hidden keys (a leading 0xFF byte, octal 377: out of a script's reach), as
// arrays so the engine's literal cache can look them up by address.
constexpr char kDispatchKey[] = "\377dispatch";
constexpr char kTargetKey[] = "\377target";
constexpr char kAutomationKey[] = "\377automation";
constexpr char kMethodsKey[] = "\377methods";
// The heap's proxy parts, an array kept in the stash and found through the
// heap's HostData: the targets' finalizer, then a handler per class number
// (kNoClassNumber first), made on first use.
constexpr char kObjectPartsKey[] = "\377objectParts";
constexpr duk_uarridx_t kFinalizerIndex = 0;

// A member name as the engine holds it. Member names are ASCII, so the
// engine's bytes are compared as they are; text that is not ASCII matches
// no member either way.
std::string_view name_at(duk_context* ctx, duk_idx_t index) {
  duk_size_t size = 0;
  const char* text = duk_get_lstring(ctx, index, &size);
  return text == nullptr ? std::string_view() : std::string_view(text, size);
}

posix::Dispatch* dispatch_of(duk_context* ctx, duk_idx_t target) {
  duk_get_prop_literal(ctx, target, kDispatchKey);
  auto* object = static_cast<posix::Dispatch*>(duk_get_pointer(ctx, -1));
  duk_pop(ctx);
  return object;
}

constexpr std::string_view kReleased = "object already released";

// Calls member `id` in form `kind` with the script values at
// [first, first + count) and pushes the result or an automation error. The
// object stays alive for the call without a reference of its own: the
// engine releases it only once its proxy's target is collected, and the
// target is on the value stack of every caller (the trap's first argument,
// or held by the method function being called).
Outcome call_member(duk_context* ctx, posix::Dispatch* object, DispId id, MemberKind kind,
                    duk_idx_t first, duk_idx_t count) {
  // Most calls take a few arguments: those stay on the stack.
  constexpr std::size_t kInline = 6;
  const auto size = static_cast<std::size_t>(count);
  std::array<Variant, kInline> inline_values;
  std::array<Variant*, kInline> inline_args{};
  std::vector<Variant> more_values;
  std::vector<Variant*> more_args;
  std::span<Variant> values(inline_values.data(), std::min(size, kInline));
  std::span<Variant*> args(inline_args.data(), values.size());
  if (size > kInline) {
    more_values.resize(size);
    more_args.resize(size);
    values = more_values;
    args = more_args;
  }
  for (std::size_t i = 0; i < size; ++i) {
    values[i] = read_variant(ctx, first + static_cast<duk_idx_t>(i));
    args[i] = &values[i];
  }
  Variant result;
  posix::ExceptionInfo error;
  const posix::HResult hr = object->invoke(id, kind, args, &result, &error);
  if (hr == posix::result::kOk) {
    push_variant(ctx, result);
    return Outcome::Value;
  }
  if (hr != posix::result::kException) {
    error = {51, std::string(object->type_info()->prog_id), "Internal error"};
  }
  push_automation_error(ctx, error.number, error.source, error.description);
  return Outcome::Raise;
}

Outcome push_not_supported(duk_context* ctx, const ClassDescriptor& cls) {
  push_automation_error(ctx, error_number::kNotSupported, std::string(cls.prog_id),
                        "Object doesn't support this property or method");
  return Outcome::Raise;
}

// A method, as `obj.Method` returns it: calling it invokes the member. The
// function's magic number is the member's place in its class's table (ids
// are wider than a magic number), read without a property look-up, and it
// carries the object's dispatch pointer as well as its target.
duk_ret_t call_method(duk_context* ctx) {
  const duk_idx_t count = duk_get_top(ctx);
  // The function holds its target, so its object is never released while it
  // can be called.
  duk_push_current_function(ctx);
  posix::Dispatch* object = dispatch_of(ctx, -1);
  duk_pop(ctx);
  const auto position = static_cast<std::size_t>(duk_get_current_magic(ctx));
  const DispId id = object->type_info()->members()[position].id;
  return run_native(ctx,
                    [&] { return call_member(ctx, object, id, MemberKind::Method, 0, count); });
}

// Pushes the function `obj.Method` returns for `method` of `object`, the
// target at index 0, named by the key at index 1. It is made once per object
// and spelling of the name, and kept on the target (so `obj.Method ===
// obj.Method`); it holds the target, so the object lives as long as the
// function is reachable (the target's finalizer, which releases the object,
// runs only once neither is).
void push_method(duk_context* ctx, posix::Dispatch* object, const Member& method) {
  if (!duk_get_prop_literal(ctx, 0, kMethodsKey)) {
    duk_pop(ctx);
    duk_push_bare_object(ctx);
    duk_dup_top(ctx);
    duk_put_prop_literal(ctx, 0, kMethodsKey);
  }
  duk_dup(ctx, 1);
  if (!duk_get_prop(ctx, -2)) {
    duk_pop(ctx);
    duk_push_c_function(ctx, &call_method, DUK_VARARGS);
    duk_set_magic(ctx, -1, static_cast<duk_int_t>(&method - object->type_info()->members().data()));
    duk_push_pointer(ctx, object);
    duk_put_prop_literal(ctx, -2, kDispatchKey);
    duk_dup(ctx, 0);
    duk_put_prop_literal(ctx, -2, kTargetKey);
    duk_dup(ctx, 1);
    duk_dup(ctx, -2);
    duk_put_prop(ctx, -4);
  }
  duk_remove(ctx, -2);
}

// Pushes the method the target at index 0 keeps under the key at index 1
// (push_method made it before); false, with nothing pushed, when there is none.
bool push_kept_method(duk_context* ctx) {
  if (duk_get_prop_literal(ctx, 0, kMethodsKey)) {
    duk_dup(ctx, 1);
    if (duk_get_prop(ctx, -2)) {
      duk_remove(ctx, -2);
      return true;
    }
    duk_pop(ctx);
  }
  duk_pop(ctx);
  return false;
}

// Proxy trap get(target, key, receiver). Its magic number is the class
// number of the objects whose handler it is in: a method fetched before is
// found by name and returned without reading the object's dispatch pointer.
duk_ret_t trap_get(duk_context* ctx) {
  if (duk_is_symbol(ctx, 1) || !duk_is_string(ctx, 1)) {
    duk_push_undefined(ctx);
    return 1;
  }
  const ClassDescriptor* cls = numbered_class(duk_get_current_magic(ctx));
  posix::Dispatch* object = nullptr;
  if (cls == nullptr) {
    object = dispatch_of(ctx, 0);
    if (object == nullptr) {
      push_host_type_error(ctx, kReleased);
      return duk_throw(ctx);
    }
    cls = object->type_info();
  }
  return run_native(ctx, [&] {
    const auto id = find_dispatch_id(*cls, name_at(ctx, 1));
    const Member* method = id ? find_member(*cls, *id, MemberKind::Method) : nullptr;
    if (method != nullptr && push_kept_method(ctx)) return Outcome::Value;
    if (!id) return push_not_supported(ctx, *cls);
    if (object == nullptr) object = dispatch_of(ctx, 0);
    if (object == nullptr) {
      push_host_type_error(ctx, kReleased);
      return Outcome::Raise;
    }
    if (method != nullptr) {
      push_method(ctx, object, *method);
      return Outcome::Value;
    }
    if (has_form(*cls, *id, MemberKind::PropertyGet)) {
      return call_member(ctx, object, *id, MemberKind::PropertyGet, 0, 0);
    }
    return push_not_supported(ctx, *cls);
  });
}

// Proxy trap set(target, key, value, receiver).
duk_ret_t trap_set(duk_context* ctx) {
  posix::Dispatch* object = dispatch_of(ctx, 0);
  if (object == nullptr) {
    push_host_type_error(ctx, kReleased);
    return duk_throw(ctx);
  }
  return run_native(ctx, [&] {
    const ClassDescriptor& cls = *object->type_info();
    const auto id = duk_is_symbol(ctx, 1) ? std::nullopt : find_dispatch_id(cls, name_at(ctx, 1));
    if (!id || !has_form(cls, *id, MemberKind::PropertyLet)) {
      return push_not_supported(ctx, cls);
    }
    const Outcome outcome = call_member(ctx, object, *id, MemberKind::PropertyLet, 2, 1);
    if (outcome == Outcome::Value) {
      duk_pop(ctx);
      duk_push_true(ctx);  // the assignment took place
    }
    return outcome;
  });
}

// Releases the object when the engine collects its proxy's target.
duk_ret_t finalize_target(duk_context* ctx) {
  posix::Dispatch* object = dispatch_of(ctx, 0);
  if (object != nullptr) {
    duk_push_pointer(ctx, nullptr);
    duk_put_prop_literal(ctx, 0, kDispatchKey);
    object->release();
  }
  return 0;
}

}  // namespace

namespace {

// Pushes the handler for objects of class `number` from the proxy parts at
// `parts`, made on first use.
void push_handler(duk_context* ctx, duk_idx_t parts, int number) {
  const auto index = static_cast<duk_uarridx_t>(number - kNoClassNumber + 1);
  if (duk_get_prop_index(ctx, parts, index)) return;
  duk_pop(ctx);
  duk_push_object(ctx);
  duk_push_c_function(ctx, &trap_get, 3);
  duk_set_magic(ctx, -1, number);
  duk_put_prop_literal(ctx, -2, "get");
  duk_push_c_function(ctx, &trap_set, 4);
  duk_put_prop_literal(ctx, -2, "set");
  duk_dup_top(ctx);
  duk_put_prop_index(ctx, parts, index);
}

}  // namespace

void install_object_handler(duk_context* ctx) {
  duk_push_global_stash(ctx);
  duk_push_array(ctx);
  duk_push_c_function(ctx, &finalize_target, 2);
  duk_put_prop_index(ctx, -2, kFinalizerIndex);
  // Kept in the stash so that the engine keeps it; found through the heap's
  // host data.
  host_data(ctx)->object_parts = duk_get_heapptr(ctx, -1);
  duk_put_prop_literal(ctx, -2, kObjectPartsKey);
  duk_pop(ctx);
}

void push_library_object(duk_context* ctx, posix::Dispatch* object) {
  // Until the finalizer is set, an engine error (out of memory) releases the
  // object here.
  struct Owned {
    posix::Dispatch* object;
    ~Owned() {
      if (object != nullptr) object->release();
    }
  } owned{object};
  const int number = class_number(*object->type_info());
  duk_push_object(ctx);
  duk_push_pointer(ctx, object);
  duk_put_prop_literal(ctx, -2, kDispatchKey);
  duk_push_heapptr(ctx, host_data(ctx)->object_parts);
  const duk_idx_t parts = duk_get_top_index(ctx);
  duk_get_prop_index(ctx, parts, kFinalizerIndex);
  duk_set_finalizer(ctx, -3);
  owned.object = nullptr;
  push_handler(ctx, parts, number);
  duk_remove(ctx, parts);
  duk_push_proxy(ctx, 0);
}

namespace {

// An error of `code` whose .message is `message`, every character of it.
// Made without a C++ source location, so the engine blames the page line
// that called into the host.
void push_error(duk_context* ctx, duk_errcode_t code, std::string_view message) {
  duk_push_error_object_raw(ctx, code, nullptr, 0, "");
  push_text(ctx, message);
  duk_put_prop_literal(ctx, -2, "message");
}

}  // namespace

void push_automation_error(duk_context* ctx, std::int32_t number, const std::string& source,
                           const std::string& description) {
  push_error(ctx, DUK_ERR_ERROR, description);
  duk_push_int(ctx, number);
  duk_put_prop_literal(ctx, -2, "number");
  push_text(ctx, source);
  duk_put_prop_literal(ctx, -2, "source");
  push_text(ctx, description);
  duk_put_prop_literal(ctx, -2, "description");
  duk_push_true(ctx);
  duk_put_prop_literal(ctx, -2, kAutomationKey);
}

void push_host_type_error(duk_context* ctx, std::string_view message) {
  push_error(ctx, DUK_ERR_TYPE_ERROR, message);
}

bool is_automation_error(duk_context* ctx, duk_idx_t index) {
  if (!duk_is_object(ctx, index) || duk_is_function(ctx, index)) return false;
  duk_get_prop_literal(ctx, index, kAutomationKey);
  const bool marked = duk_get_boolean(ctx, -1) != 0;
  duk_pop(ctx);
  return marked;
}

}  // namespace vantrel::host
