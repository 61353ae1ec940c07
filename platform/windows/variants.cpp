#include "platform/windows/variants.h"

#include <cstdint>
#include <new>

#include "platform/windows/utf16.h"

namespace vantrel::windows {

namespace {

// An object's default value may itself be an object; a chain this long is
// not a value.
constexpr int kMaxDefaultValueDepth = 4;

// A VARIANT that clears itself.
struct ScopedVariant {
  VARIANT value;
  ScopedVariant() { VariantInit(&value); }
  ~ScopedVariant() { VariantClear(&value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

Variant from_variant_at(const VARIANT& in, int depth);

Variant default_value(IDispatch* object, int depth) {
  if (object == nullptr || depth >= kMaxDefaultValueDepth) return Variant::object();
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ScopedVariant result;
  const HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, &result.value,
                                    nullptr, nullptr);
  if (FAILED(hr)) return Variant::object();
  return from_variant_at(result.value, depth + 1);
}

// Numbers of the types the frame has no kind for, read as a double (exact
// for every whole number up to 2^53); whole numbers that fit become 32-bit
// integers.
Variant converted_number(const VARIANT& in, bool whole) {
  ScopedVariant converted;
  if (FAILED(VariantChangeType(&converted.value, const_cast<VARIANT*>(&in), 0, VT_R8))) {
    return Variant::object();
  }
  const double number = V_R8(&converted.value);
  if (whole && number >= -2147483648.0 && number <= 2147483647.0) {
    return Variant(static_cast<std::int32_t>(number));
  }
  return Variant(number);
}

Variant from_variant_at(const VARIANT& in, int depth) {
  const VARIANT* value = &in;
  for (int hops = 0; V_VT(value) == (VT_BYREF | VT_VARIANT); ++hops) {
    if (V_VARIANTREF(value) == nullptr || hops >= kMaxDefaultValueDepth) return Variant::object();
    value = V_VARIANTREF(value);
  }
  const VARTYPE type = V_VT(value);
  if ((type & VT_ARRAY) != 0) return Variant::object();
  const bool by_reference = (type & VT_BYREF) != 0;
  if (by_reference && V_BYREF(value) == nullptr) return Variant::object();
  switch (type & ~VT_BYREF) {
    case VT_EMPTY:
      return Variant();
    case VT_NULL:
      return Variant::null();
    case VT_BOOL:
      return Variant((by_reference ? *V_BOOLREF(value) : V_BOOL(value)) != VARIANT_FALSE);
    case VT_I2:
      return Variant(static_cast<std::int16_t>(by_reference ? *V_I2REF(value) : V_I2(value)));
    case VT_I4:
      return Variant(static_cast<std::int32_t>(by_reference ? *V_I4REF(value) : V_I4(value)));
    case VT_R8:
      return Variant(by_reference ? *V_R8REF(value) : V_R8(value));
    case VT_DATE:
      return Variant(Date{by_reference ? *V_DATEREF(value) : V_DATE(value)});
    case VT_BSTR:
      return Variant(utf8_from_bstr(by_reference ? *V_BSTRREF(value) : V_BSTR(value)));
    case VT_DISPATCH:
      return default_value(by_reference ? *V_DISPATCHREF(value) : V_DISPATCH(value), depth);
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
      return converted_number(*value, true);
    case VT_R4:
    case VT_CY:
    case VT_DECIMAL:
      return converted_number(*value, false);
    default:  // VT_UNKNOWN, VT_ERROR, records, ...
      return Variant::object();
  }
}

}  // namespace

std::string utf8_from_bstr(BSTR text) {
  if (text == nullptr) return {};
  const UINT length = SysStringLen(text);
  std::u16string units(length, u'\0');
  for (UINT i = 0; i < length; ++i) units[i] = static_cast<char16_t>(text[i]);
  return utf8_from_utf16(units);
}

BSTR bstr_from_utf8(std::string_view text) {
  const std::u16string units = utf16_from_utf8(text);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(units.size()));
  if (result == nullptr) throw std::bad_alloc();
  for (std::size_t i = 0; i < units.size(); ++i) result[i] = static_cast<OLECHAR>(units[i]);
  return result;
}

Variant from_variant(const VARIANT& value) { return from_variant_at(value, 0); }

void to_variant(const Variant& value, VARIANT& out) {
  VariantInit(&out);
  switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Object:
      return;
    case Variant::Kind::Null:
      V_VT(&out) = VT_NULL;
      return;
    case Variant::Kind::Boolean:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = value.boolean() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case Variant::Kind::Integer:
      V_VT(&out) = VT_I2;
      V_I2(&out) = value.integer();
      return;
    case Variant::Kind::Long:
      V_VT(&out) = VT_I4;
      V_I4(&out) = value.long_value();
      return;
    case Variant::Kind::Double:
      V_VT(&out) = VT_R8;
      V_R8(&out) = value.double_value();
      return;
    case Variant::Kind::Date:
      V_VT(&out) = VT_DATE;
      V_DATE(&out) = value.date().serial;
      return;
    case Variant::Kind::String:
      V_BSTR(&out) = bstr_from_utf8(value.string());
      V_VT(&out) = VT_BSTR;
      return;
  }
}

bool is_missing(const VARIANT& value) {
  const VARIANT* inner = &value;
  if (V_VT(inner) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(inner) != nullptr) {
    inner = V_VARIANTREF(inner);
  }
  return V_VT(inner) == VT_ERROR && V_ERROR(inner) == DISP_E_PARAMNOTFOUND;
}

void write_back(VARIANT& argument, const Variant& value) {
  ScopedVariant converted;
  to_variant(value, converted.value);
  if (V_VT(&argument) == (VT_BYREF | VT_VARIANT)) {
    VARIANT* target = V_VARIANTREF(&argument);
    if (target == nullptr) return;
    VariantClear(target);
    *target = converted.value;  // the caller's variable now owns the value
    VariantInit(&converted.value);
    return;
  }
  if ((V_VT(&argument) & VT_BYREF) == 0) {
    VariantClear(&argument);
    argument = converted.value;
    VariantInit(&converted.value);
    return;
  }
  // A typed by-reference argument keeps its type.
  if (V_BYREF(&argument) == nullptr) return;
  const VARTYPE type = V_VT(&argument) & ~VT_BYREF;
  ScopedVariant typed;
  if (FAILED(VariantChangeType(&typed.value, &converted.value, VARIANT_ALPHABOOL, type))) {
    return;
  }
  switch (type) {
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(&argument));
      *V_BSTRREF(&argument) = V_BSTR(&typed.value);
      VariantInit(&typed.value);
      return;
    case VT_BOOL:
      *V_BOOLREF(&argument) = V_BOOL(&typed.value);
      return;
    case VT_I2:
      *V_I2REF(&argument) = V_I2(&typed.value);
      return;
    case VT_I4:
      *V_I4REF(&argument) = V_I4(&typed.value);
      return;
    case VT_R8:
      *V_R8REF(&argument) = V_R8(&typed.value);
      return;
    case VT_DATE:
      *V_DATEREF(&argument) = V_DATE(&typed.value);
      return;
    default:
      return;
  }
}

}  // namespace vantrel::windows
