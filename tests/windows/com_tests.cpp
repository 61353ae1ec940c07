// The COM adapter under Wine, over a test class whose members show what the
// adapter hands them: conversion of every kind of VARIANT, by-reference
// write-back, left-out arguments, property forms, errors through EXCEPINFO
// and the error object, the member slots of the dual interface, and object
// counting.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "frame/automation_error.h"
#include "frame/members.h"
#include "platform/windows/com_object.h"
#include "platform/windows/system.h"
#include "platform/windows/variants.h"
#include "tests/windows/check.h"

namespace vantrel {
namespace {

class Probe {
 public:
  // Converts its argument to a truth value in place.
  std::string Convert(Variant& value) {
    value = Variant(to_boolean(value));
    return "converted";
  }
  // Converts the first argument, then the second, which may fail.
  std::string ConvertTwo(Variant& first, Variant& second) {
    first = Variant(to_boolean(first));
    second = Variant(to_boolean(second));
    return "both";
  }
  std::string Describe(Variant& value) {
    return std::string(kind_name(value.kind())) + ":" + to_text(value);
  }
  std::string Join(std::string_view a, std::string_view b, std::string_view c) {
    return std::string(a) + "|" + std::string(b) + "|" + std::string(c);
  }
  std::int16_t GetNumber() const { return number_; }
  void LetNumber(std::int16_t value) { number_ = value; }
  void LetOnly(std::string_view) {}
  std::string Fail() { throw AutomationError(1, "Probe.Source", "Custom failure"); }
  Variant Echo(Variant& value) { return value; }
  bool Negate(bool value) { return !value; }

 private:
  std::int16_t number_ = 0;
};

constexpr Member kProbeMembers[] = {
    method<&Probe::Convert>("Convert", 1, {"Value"}),
    method<&Probe::ConvertTwo>("ConvertTwo", 2, {"First", "Second"}),
    method<&Probe::Describe>("Describe", 3, {"Value"}),
    method<&Probe::Join>("Join", 4, {"A", "B", "C"}, 2),
    property_get<&Probe::GetNumber>("Number", 5),
    property_let<&Probe::LetNumber>("Number", 5, "NewNumber"),
    property_let<&Probe::LetOnly>("Only", 6, "NewOnly"),
    method<&Probe::Fail>("Fail", 7),
    method<&Probe::Echo>("Echo", 8, {"Value"}),
    method<&Probe::Negate>("Negate", 9, {"Flag"}),
};
const ClassBinding kProbeBinding = bind_class<Probe>(kProbeMembers);
const ClassDescriptor kProbeClass{"Probe",
                                  "Test.Probe",
                                  make_guid("5D1E4C2A-7B3F-4A10-9C55-0E6B7A8D9F01"),
                                  "_Probe",
                                  make_guid("5D1E4C2A-7B3F-4A10-9C55-0E6B7A8D9F02"),
                                  &kProbeBinding};

using windows::testing::Checks;

std::string narrow(BSTR text) { return windows::utf8_from_bstr(text); }

VARIANT text(const char* value) {
  VARIANT v;
  windows::to_variant(Variant(std::string(value)), v);
  return v;
}
VARIANT i4(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}
VARIANT missing() {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_ERROR;
  V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
  return v;
}

// The outcome of one IDispatch::Invoke: the result as "Kind:text", or
// "error N source: description", or "hr 0x...".
struct Call {
  HRESULT hr = S_OK;
  VARIANT result;
  EXCEPINFO exception{};
  Call() { VariantInit(&result); }
  ~Call() {
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
  }
  std::string outcome() const {
    if (hr == DISP_E_EXCEPTION) {
      return "error " + std::to_string(exception.scode & 0xFFFF) + " " +
             narrow(exception.bstrSource) + ": " + narrow(exception.bstrDescription);
    }
    if (FAILED(hr)) {
      char code[16];
      std::snprintf(code, sizeof code, "hr 0x%08lX", static_cast<unsigned long>(hr));
      return code;
    }
    try {
      const Variant value = windows::from_variant(result);
      return std::string(kind_name(value.kind())) + ":" + to_text(value);
    } catch (const AutomationError& e) {
      return "unprintable " + std::to_string(e.number());
    }
  }
};

// Calls `id` with `args` in the caller's order (Invoke wants them last first).
void invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT*> args, Call& call,
            bool put = false) {
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(**it);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {reversed.data(), put ? &named : nullptr, static_cast<UINT>(reversed.size()),
                       put ? 1u : 0u};
  call.hr = object->Invoke(id, IID_NULL, 0, flags, &params, &call.result, &call.exception, nullptr);
  // By-value arguments belong to the caller: copy back what Invoke may not touch.
  for (std::size_t i = 0; i < args.size(); ++i) *args[args.size() - 1 - i] = reversed[i];
}

std::string call_outcome(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT*> args,
                         bool put = false) {
  Call call;
  invoke(object, id, flags, std::move(args), call, put);
  return call.outcome();
}

IDispatch* create(Checks& checks) {
  IDispatch* object = nullptr;
  checks.check(SUCCEEDED(windows::create_object(kProbeClass, IID_IDispatch,
                                                reinterpret_cast<void**>(&object))) &&
                   object != nullptr,
               "create an object of the test class");
  return object;
}

// A script object whose default value is the text "default value".
class DefaultValueObject final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (id != DISPID_VALUE || result == nullptr) return DISP_E_MEMBERNOTFOUND;
    windows::to_variant(Variant(std::string("default value")), *result);
    return S_OK;
  }
};

void test_names(Checks& checks, IDispatch* object) {
  struct Case {
    const wchar_t* name;
    HRESULT hr;
    DISPID id;
  };
  for (const Case& c :
       {Case{L"Describe", S_OK, 3}, Case{L"dEsCrIbE", S_OK, 3}, Case{L"NUMBER", S_OK, 5},
        Case{L"Nothing", DISP_E_UNKNOWNNAME, -1}, Case{L"Describ\u00e9", DISP_E_UNKNOWNNAME, -1},
        // Longer than any member name can be: refused, never overrun.
        Case{L"DescribeDescribeDescribeDescribeDescribeDescribeDescribeDescribeDescribe",
             DISP_E_UNKNOWNNAME, -1}}) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = 0;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id);
    checks.check(hr == c.hr && id == c.id,
                 "GetIDsOfNames " + narrow(SysAllocString(c.name)) + " -> " + std::to_string(c.id));
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Join"), const_cast<LPOLESTR>(L"A")};
  DISPID ids[2] = {0, 0};
  checks.check(object->GetIDsOfNames(IID_NULL, names, 2, 0, ids) == DISP_E_UNKNOWNNAME &&
                   ids[0] == 4 && ids[1] == DISPID_UNKNOWN,
               "named arguments get no id");
}

void test_conversions(Checks& checks, IDispatch* object) {
  DefaultValueObject script_object;
  struct Case {
    const char* what;
    VARIANT value;
    const char* expected;
  };
  auto make = [](VARTYPE type, auto setter) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = type;
    setter(v);
    return v;
  };
  std::int32_t referenced = 7;
  VARIANT inner = text("inner");
  std::vector<Case> cases = {
      {"empty", make(VT_EMPTY, [](VARIANT&) {}), "String:Empty:"},
      {"null", make(VT_NULL, [](VARIANT&) {}), "error 94 Test.Probe: Invalid use of Null"},
      {"boolean", make(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }),
       "String:Boolean:True"},
      {"16-bit integer", make(VT_I2, [](VARIANT& v) { V_I2(&v) = -5; }), "String:Integer:-5"},
      {"32-bit integer", i4(100000), "String:Long:100000"},
      {"double", make(VT_R8, [](VARIANT& v) { V_R8(&v) = 2.5; }), "String:Double:2.5"},
      {"date", make(VT_DATE, [](VARIANT& v) { V_DATE(&v) = 37666.4375; }),
       "String:Date:2/14/2003 10:30:00 AM"},
      {"string", text("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
       "String:String:caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"byte", make(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; }), "String:Long:200"},
      {"unsigned 32-bit", make(VT_UI4, [](VARIANT& v) { V_UI4(&v) = 4000000000u; }),
       "String:Double:4000000000"},
      {"64-bit integer", make(VT_I8, [](VARIANT& v) { V_I8(&v) = -12; }), "String:Long:-12"},
      {"single", make(VT_R4, [](VARIANT& v) { V_R4(&v) = 1.5f; }), "String:Double:1.5"},
      {"currency", make(VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 12345; }), "String:Double:1.2345"},
      {"by-reference integer",
       make(VT_BYREF | VT_I4,
            [&](VARIANT& v) { V_I4REF(&v) = reinterpret_cast<LONG*>(&referenced); }),
       "String:Long:7"},
      {"by-reference variant",
       make(VT_BYREF | VT_VARIANT, [&](VARIANT& v) { V_VARIANTREF(&v) = &inner; }),
       "String:String:inner"},
      {"object with a default value",
       make(VT_DISPATCH, [&](VARIANT& v) { V_DISPATCH(&v) = &script_object; }),
       "String:String:default value"},
      {"no object", make(VT_DISPATCH, [](VARIANT& v) { V_DISPATCH(&v) = nullptr; }),
       "error 13 Test.Probe: Type mismatch"},
      {"array", make(VT_ARRAY | VT_VARIANT, [](VARIANT& v) { V_ARRAY(&v) = nullptr; }),
       "error 13 Test.Probe: Type mismatch"},
      {"error value", make(VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = E_FAIL; }),
       "error 13 Test.Probe: Type mismatch"},
  };
  for (Case& c : cases) {
    checks.equal(call_outcome(object, 3, DISPATCH_METHOD, {&c.value}), c.expected,
                 std::string("Describe(") + c.what + ")");
  }
  VariantClear(&cases[7].value);
  VariantClear(&inner);

  // Strings cross unchanged, unpaired surrogates and NUL included.
  const OLECHAR units[] = {0xD800, L'a', 0, 0xDFFF, 0xD83D, 0xDE00};
  VARIANT odd;
  VariantInit(&odd);
  V_VT(&odd) = VT_BSTR;
  V_BSTR(&odd) = SysAllocStringLen(units, 6);
  Call echo;
  invoke(object, 8, DISPATCH_METHOD, {&odd}, echo);
  checks.check(echo.hr == S_OK && V_VT(&echo.result) == VT_BSTR &&
                   SysStringLen(V_BSTR(&echo.result)) == 6 &&
                   std::equal(units, units + 6, V_BSTR(&echo.result)),
               "a string with unpaired surrogates and NUL comes back unit for unit");
  VariantClear(&odd);

  VARIANT on = make(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_FALSE; });
  Call negate;
  invoke(object, 9, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {&on}, negate);
  checks.check(V_VT(&negate.result) == VT_BOOL && V_BOOL(&negate.result) == VARIANT_TRUE,
               "a Boolean result is VT_BOOL -1");
}

void test_write_back(Checks& checks, IDispatch* object) {
  // VBScript passes a variable as VT_BYREF | VT_VARIANT.
  VARIANT variable = i4(1);
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = &variable;
  checks.equal(call_outcome(object, 1, DISPATCH_METHOD, {&reference}), "String:converted",
               "Convert(variable)");
  checks.check(V_VT(&variable) == VT_BOOL && V_BOOL(&variable) == VARIANT_TRUE,
               "the converted value is written back into the caller's variable");

  // A value passed by value (JScript) is the caller's and stays as it was.
  VARIANT value = i4(1);
  call_outcome(object, 1, DISPATCH_METHOD, {&value});
  checks.check(V_VT(&value) == VT_I4 && V_I4(&value) == 1, "a by-value argument is not changed");

  // A typed by-reference argument keeps its type.
  BSTR typed = SysAllocString(L"1");
  VARIANT typed_reference;
  V_VT(&typed_reference) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&typed_reference) = &typed;
  call_outcome(object, 1, DISPATCH_METHOD, {&typed_reference});
  checks.equal(narrow(typed), "True", "a typed by-reference String receives the text of the value");
  SysFreeString(typed);

  // An argument the member does not change is not rewritten.
  VARIANT same = text("same");
  const BSTR before = V_BSTR(&same);
  VARIANT same_reference;
  V_VT(&same_reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&same_reference) = &same;
  call_outcome(object, 8, DISPATCH_METHOD, {&same_reference});
  checks.check(V_VT(&same) == VT_BSTR && V_BSTR(&same) == before,
               "an unchanged argument keeps the caller's own string");
  VariantClear(&same);

  // A member that fails after converting its first argument leaves that
  // argument converted and the second as it was.
  VARIANT first = i4(0);
  VARIANT second = text("maybe");
  VARIANT first_reference, second_reference;
  V_VT(&first_reference) = V_VT(&second_reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&first_reference) = &first;
  V_VARIANTREF(&second_reference) = &second;
  checks.equal(call_outcome(object, 2, DISPATCH_METHOD, {&first_reference, &second_reference}),
               "error 13 Test.Probe: Type mismatch", "ConvertTwo(0, \"maybe\")");
  checks.check(V_VT(&first) == VT_BOOL && V_BOOL(&first) == VARIANT_FALSE &&
                   V_VT(&second) == VT_BSTR && narrow(V_BSTR(&second)) == "maybe",
               "a failing call keeps what it wrote back before the failure");
  VariantClear(&second);
}

void test_arguments(Checks& checks, IDispatch* object) {
  VARIANT a = text("a"), b = text("b"), c = text("c"), gone = missing(), extra = i4(1);
  struct Case {
    const char* what;
    std::vector<VARIANT*> args;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"all three", {&a, &b, &c}, "String:a|b|c"},
      {"the optional one left out", {&a, &b}, "String:a|b|"},
      {"the optional one passed as missing", {&a, &b, &gone}, "String:a|b|"},
      {"a required one passed as missing",
       {&a, &gone, &c},
       "error 449 Test.Probe: Argument not optional"},
      {"too few",
       {&a},
       "error 450 Test.Probe: Wrong number of arguments or invalid property "
       "assignment"},
      {"too many",
       {&a, &b, &c, &extra, &extra, &extra, &extra},
       "error 450 Test.Probe: Wrong number of arguments or invalid property assignment"},
  };
  for (const Case& cs : cases) {
    checks.equal(call_outcome(object, 4, DISPATCH_METHOD | DISPATCH_PROPERTYGET, cs.args),
                 cs.expected, std::string("Join: ") + cs.what);
  }
  VariantClear(&a);
  VariantClear(&b);
  VariantClear(&c);

  // Named arguments are not supported (only the new value of a property).
  VARIANT one = i4(1);
  DISPID named = 0;
  DISPPARAMS params = {&one, &named, 1, 1};
  checks.check(object->Invoke(3, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                              nullptr) == DISP_E_NONAMEDARGS,
               "a named argument gives DISP_E_NONAMEDARGS");
  checks.check(object->Invoke(3, IID_IDispatch, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                              nullptr) == DISP_E_UNKNOWNINTERFACE,
               "Invoke with an interface id gives DISP_E_UNKNOWNINTERFACE");
}

void test_properties(Checks& checks, IDispatch* object, IDispatch* other) {
  VARIANT seven = i4(7), big = i4(40000), word = text("many");
  checks.equal(call_outcome(object, 5, DISPATCH_PROPERTYPUT, {&seven}, true),
               "Empty:", "Number = 7");
  Call get;
  invoke(object, 5, DISPATCH_PROPERTYGET, {}, get);
  checks.check(V_VT(&get.result) == VT_I2 && V_I2(&get.result) == 7, "Number reads 7 as VT_I2");
  checks.equal(call_outcome(object, 5, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}), "Integer:7",
               "Number read the VBScript way (method or property get)");
  checks.equal(call_outcome(other, 5, DISPATCH_PROPERTYGET, {}), "Integer:0",
               "a second object keeps its own state");
  checks.equal(call_outcome(object, 5, DISPATCH_PROPERTYPUT, {&big}, true),
               "error 6 Test.Probe: Overflow", "Number = 40000");
  checks.equal(call_outcome(object, 5, DISPATCH_PROPERTYPUT, {&word}, true),
               "error 13 Test.Probe: Type mismatch", "Number = \"many\"");
  checks.equal(call_outcome(object, 5, DISPATCH_PROPERTYGET, {}), "Integer:7",
               "a failed let changes nothing");
  checks.equal(call_outcome(object, 6, DISPATCH_PROPERTYPUT, {&word}, true),
               "Empty:", "Only = \"many\"");
  checks.equal(call_outcome(object, 6, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}),
               "error 438 Test.Probe: Object doesn't support this property or method",
               "reading a let-only property fails");
  checks.equal(call_outcome(object, 3, DISPATCH_PROPERTYPUT, {&seven}, true),
               "error 438 Test.Probe: Object doesn't support this property or method",
               "assigning to a method fails");
  checks.equal(call_outcome(object, 99, DISPATCH_METHOD, {}),
               "error 438 Test.Probe: Object doesn't support this property or method",
               "an unknown dispatch id fails");
  DISPPARAMS unnamed = {&seven, nullptr, 1, 0};
  checks.check(object->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr,
                              nullptr) == DISP_E_PARAMNOTFOUND,
               "a property put without DISPID_PROPERTYPUT gives DISP_E_PARAMNOTFOUND");
  VariantClear(&word);
}

void test_errors(Checks& checks, IDispatch* object) {
  checks.equal(call_outcome(object, 7, DISPATCH_METHOD, {}), "error 1 Probe.Source: Custom failure",
               "Fail through EXCEPINFO");
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  const HRESULT hr =
      object->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
  IErrorInfo* info = nullptr;
  BSTR source = nullptr, description = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    info->GetSource(&source);
    info->GetDescription(&description);
    info->Release();
  }
  checks.check(hr == static_cast<HRESULT>(0x800A0001) && narrow(source) == "Probe.Source" &&
                   narrow(description) == "Custom failure",
               "Fail without EXCEPINFO: 0x800A0001 and the error object");
  SysFreeString(source);
  SysFreeString(description);
}

// The dual interface's own slots: IDispatch's seven, then one per member.
void test_slots(Checks& checks, IDispatch* object) {
  using Unary = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, void*, void*);
  using Join = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, BSTR*, BSTR*, BSTR*, BSTR*);
  using Nullary = HRESULT(STDMETHODCALLTYPE*)(IDispatch*, BSTR*);
  void** vtable = *reinterpret_cast<void***>(object);

  BSTR a = SysAllocString(L"a"), b = SysAllocString(L"b"), result = nullptr;
  HRESULT hr = reinterpret_cast<Join>(vtable[7 + 3])(object, &a, &b, nullptr, &result);
  checks.check(hr == S_OK && narrow(result) == "a|b|", "Join by slot, the optional one left out");
  SysFreeString(result);
  SysFreeString(a);
  SysFreeString(b);

  VARIANT value = i4(2);
  hr = reinterpret_cast<Unary>(vtable[7 + 0])(object, &value, &result);
  checks.check(hr == S_OK && V_VT(&value) == VT_BOOL && V_BOOL(&value) == VARIANT_TRUE,
               "Convert by slot writes the converted value back");
  SysFreeString(result);

  short number = 0;
  hr = reinterpret_cast<Unary>(vtable[7 + 5])(object, &number, nullptr);
  short seven = 7;
  hr = reinterpret_cast<Unary>(vtable[7 + 5])(object, &seven, nullptr);
  hr = reinterpret_cast<Unary>(vtable[7 + 4])(object, &number, nullptr);
  checks.check(hr == S_OK && number == 7, "Number let and get by slot");

  result = nullptr;
  hr = reinterpret_cast<Nullary>(vtable[7 + 7])(object, &result);
  IErrorInfo* info = nullptr;
  BSTR description = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    info->GetDescription(&description);
    info->Release();
  }
  checks.check(hr == static_cast<HRESULT>(0x800A0001) && result == nullptr &&
                   narrow(description) == "Custom failure",
               "Fail by slot: 0x800A0001, no result, the error object");
  SysFreeString(description);

  ISupportErrorInfo* support = nullptr;
  checks.check(SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo,
                                                reinterpret_cast<void**>(&support))) &&
                   support->InterfaceSupportsErrorInfo(windows::to_guid(kProbeClass.iid)) == S_OK,
               "ISupportErrorInfo answers for the class's interface");
  if (support != nullptr) support->Release();
  IUnknown* unknown = nullptr;
  checks.check(object->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&unknown)) ==
                       E_NOINTERFACE &&
                   unknown == nullptr,
               "QueryInterface refuses other interfaces");
}

}  // namespace
}  // namespace vantrel

int main() {
  using namespace vantrel;
  CoInitialize(nullptr);
  Checks checks;
  IDispatch* object = create(checks);
  IDispatch* other = create(checks);
  if (object != nullptr && other != nullptr) {
    checks.check(windows::module_counts().objects == 2, "two live objects are counted");
    test_names(checks, object);
    test_conversions(checks, object);
    test_write_back(checks, object);
    test_arguments(checks, object);
    test_properties(checks, object, other);
    test_errors(checks, object);
    test_slots(checks, object);
    object->Release();
    other->Release();
  }
  checks.check(windows::module_counts().objects == 0, "releasing both frees them");
  CoUninitialize();
  return checks.finish();
}
