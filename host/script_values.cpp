#include "host/script_values.h"

#include <climits>
#include <cmath>
#include <cstdint>

#include "frame/dates.h"
#include "host/utf8.h"

namespace vantrel::host {

namespace {

// Dates are taken apart and built with the engine's own Date methods,
// captured before any page runs: nothing a page replaces (globals, a Date's
// prototype, the value's own properties) is called. getTime throws for
// anything but a real Date.
constexpr const char kHelpers[] = R"js((function () {
  var method = function (f) { return Function.prototype.call.bind(f); };
  var NativeDate = Date, proto = Date.prototype;
  var getTime = method(proto.getTime), getFullYear = method(proto.getFullYear),
      getMonth = method(proto.getMonth), getDate = method(proto.getDate),
      getHours = method(proto.getHours), getMinutes = method(proto.getMinutes),
      getSeconds = method(proto.getSeconds);
  return {
    dateParts: function (value) {
      var time = getTime(value);
      if (time !== time) return null;
      return [getFullYear(value), getMonth(value) + 1, getDate(value),
              getHours(value), getMinutes(value), getSeconds(value)];
    },
    makeDate: function (year, month, day, hour, minute, second) {
      return new NativeDate(year, month - 1, day, hour, minute, second);
    }
  };
})())js";

// Pushes a stash helper by name.
void push_helper(duk_context* ctx, const char* name) {
  duk_push_global_stash(ctx);
  duk_get_prop_literal(ctx, -1, DUK_HIDDEN_SYMBOL("valueHelpers"));
  duk_get_prop_string(ctx, -1, name);
  duk_remove(ctx, -2);
  duk_remove(ctx, -2);
}

// Element `i` of the array at `array` as an int; false unless it is a whole
// number in range.
bool part(duk_context* ctx, duk_idx_t array, duk_uarridx_t i, int& out) {
  duk_get_prop_index(ctx, array, i);
  const double value = duk_get_number_default(ctx, -1, NAN);
  duk_pop(ctx);
  if (!(value >= INT_MIN && value <= INT_MAX) || value != std::trunc(value)) return false;
  out = static_cast<int>(value);
  return true;
}

Variant read_object(duk_context* ctx, duk_idx_t index) {
  push_helper(ctx, "dateParts");
  duk_dup(ctx, index);
  Variant value = Variant::object();
  if (duk_pcall(ctx, 1) == DUK_EXEC_SUCCESS && duk_is_array(ctx, -1)) {
    const duk_idx_t parts = duk_get_top_index(ctx);
    CivilDate date{};
    TimeOfDay time{};
    if (part(ctx, parts, 0, date.year) && part(ctx, parts, 1, date.month) &&
        part(ctx, parts, 2, date.day) && part(ctx, parts, 3, time.hour) &&
        part(ctx, parts, 4, time.minute) && part(ctx, parts, 5, time.second) &&
        is_real_date(date.year, date.month, date.day)) {
      value = Variant(make_date(date, time));
    }
  }
  duk_pop(ctx);
  return value;
}

}  // namespace

void install_value_helpers(duk_context* ctx) {
  duk_push_global_stash(ctx);
  duk_push_string(ctx, "value helpers");
  if (duk_pcompile_lstring_filename(ctx, DUK_COMPILE_EVAL, kHelpers, sizeof kHelpers - 1) != 0 ||
      duk_pcall(ctx, 0) != DUK_EXEC_SUCCESS) {
    duk_pop(ctx);
    duk_push_object(ctx);
  }
  duk_put_prop_literal(ctx, -2, DUK_HIDDEN_SYMBOL("valueHelpers"));
  duk_pop(ctx);
}

void push_text(duk_context* ctx, std::string_view utf8) {
  if (!has_astral(utf8)) {
    duk_push_lstring(ctx, utf8.data(), utf8.size());
    return;
  }
  std::string text;
  append_engine_from_utf8(text, utf8);
  duk_push_lstring(ctx, text.data(), text.size());
}

std::string read_utf8(duk_context* ctx, duk_idx_t index) {
  duk_size_t size = 0;
  const char* text = duk_get_lstring(ctx, index, &size);
  std::string out;
  if (text != nullptr) append_utf8_from_engine(out, std::string_view(text, size));
  return out;
}

Variant read_variant(duk_context* ctx, duk_idx_t index) {
  index = duk_normalize_index(ctx, index);
  switch (duk_get_type(ctx, index)) {
    case DUK_TYPE_NONE:
    case DUK_TYPE_UNDEFINED:
      return Variant();
    case DUK_TYPE_NULL:
      return Variant::null();
    case DUK_TYPE_BOOLEAN:
      return Variant(duk_get_boolean(ctx, index) != 0);
    case DUK_TYPE_NUMBER: {
      const double number = duk_get_number(ctx, index);
      if (number == std::trunc(number) && number >= INT32_MIN && number <= INT32_MAX) {
        return Variant(static_cast<std::int32_t>(number));
      }
      return Variant(number);
    }
    case DUK_TYPE_STRING:
      if (duk_is_symbol(ctx, index)) return Variant::object();
      return Variant(read_utf8(ctx, index));
    case DUK_TYPE_OBJECT:
      return read_object(ctx, index);
    default:  // buffers, pointers, light functions
      return Variant::object();
  }
}

void push_variant(duk_context* ctx, const Variant& value) {
  switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Object:
      duk_push_undefined(ctx);
      return;
    case Variant::Kind::Null:
      duk_push_null(ctx);
      return;
    case Variant::Kind::Boolean:
      duk_push_boolean(ctx, value.boolean() ? 1 : 0);
      return;
    case Variant::Kind::Integer:
      duk_push_int(ctx, value.integer());
      return;
    case Variant::Kind::Long:
      duk_push_int(ctx, value.long_value());
      return;
    case Variant::Kind::Double:
      duk_push_number(ctx, value.double_value());
      return;
    case Variant::Kind::String:
      push_text(ctx, value.string());
      return;
    case Variant::Kind::Date: {
      const auto date = civil_date_of(value.date());
      const auto time = time_of_day_of(value.date());
      if (!date || !time) {
        duk_push_undefined(ctx);
        return;
      }
      push_helper(ctx, "makeDate");
      for (const int part_value :
           {date->year, date->month, date->day, time->hour, time->minute, time->second}) {
        duk_push_int(ctx, part_value);
      }
      if (duk_pcall(ctx, 6) != DUK_EXEC_SUCCESS) {
        duk_pop(ctx);
        duk_push_undefined(ctx);
      }
      return;
    }
  }
}

}  // namespace vantrel::host
