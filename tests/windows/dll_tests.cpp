// vantrel.dll as a caller sees it: its entry points, class objects, the
// type library (checked member by member against the frame's tables), calls
// through the slots of the dual interfaces (the header widl writes from
// vantrel.idl) matching calls by name, and unloading once everything is
// released.
//
//   dll_tests PATH\vantrel.dll registered|unregistered
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "platform/windows/com_object.h"
#include "platform/windows/system.h"
#include "platform/windows/variants.h"
#include "tests/windows/check.h"

// The interfaces as widl writes them from vantrel.idl, with their ids defined
// here (initguid.h).
// clang-format off
#include <initguid.h>
#include "vantrel_h.h"
// clang-format on

namespace vantrel {
namespace {

using windows::to_guid;
using windows::testing::Checks;

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, LPVOID*);
using NoArgumentsFn = HRESULT(STDAPICALLTYPE*)();

std::string narrow(BSTR text) { return windows::utf8_from_bstr(text); }

VARTYPE vartype_of(ValueType type) {
  switch (type) {
    case ValueType::String:
      return VT_BSTR;
    case ValueType::Integer:
      return VT_I2;
    case ValueType::Boolean:
      return VT_BOOL;
    case ValueType::Variant:
      return VT_VARIANT;
    case ValueType::None:
      break;
  }
  return VT_EMPTY;
}

INVOKEKIND invoke_kind_of(MemberKind kind) {
  switch (kind) {
    case MemberKind::Method:
      return INVOKE_FUNC;
    case MemberKind::PropertyGet:
      return INVOKE_PROPERTYGET;
    case MemberKind::PropertyLet:
      return INVOKE_PROPERTYPUT;
  }
  return INVOKE_FUNC;
}

// One line per function of the interface as the type library has it, and
// the same line built from the member table.
std::string describe_function(ITypeInfo* info, UINT index, SHORT first_offset) {
  FUNCDESC* function = nullptr;
  if (FAILED(info->GetFuncDesc(index, &function))) return "no function";
  BSTR names[8] = {};
  UINT count = 0;
  info->GetNames(function->memid, names, 8, &count);
  char head[64];
  std::snprintf(head, sizeof head, "%d 0x%08lx slot %d:", static_cast<int>(function->invkind),
                static_cast<unsigned long>(function->memid),
                static_cast<int>(7 + (function->oVft - first_offset) / sizeof(void*)));
  std::string line(head);
  line += narrow(names[0]) + "(";
  for (SHORT i = 0; i < function->cParams; ++i) {
    const ELEMDESC& param = function->lprgelemdescParam[i];
    const USHORT flags = param.paramdesc.wParamFlags;
    VARTYPE type = param.tdesc.vt;
    if (type == VT_PTR) type = param.tdesc.lptdesc->vt;
    line += (flags & PARAMFLAG_FRETVAL) ? " retval" : (flags & PARAMFLAG_FOPT) ? " optional" : "";
    line += (flags & PARAMFLAG_FIN) ? " in" : "";
    line += (flags & PARAMFLAG_FOUT) ? " out" : "";
    line += " " + std::to_string(type) + " ";
    // Names of parameters are checked for methods: a property's get and
    // put share one id, under which the type library names only one of them.
    if (function->invkind == INVOKE_FUNC && static_cast<UINT>(i + 1) < count) {
      line += narrow(names[i + 1]);
    }
    line += ";";
  }
  for (BSTR name : names) SysFreeString(name);
  info->ReleaseFuncDesc(function);
  return line + ")";
}

std::string describe_member(const Member& member, std::size_t slot) {
  char head[64];
  std::snprintf(head, sizeof head,
                "%d 0x%08lx slot %d:", static_cast<int>(invoke_kind_of(member.kind)),
                static_cast<unsigned long>(member.id), static_cast<int>(slot));
  std::string line(head);
  line += std::string(member.name) + "(";
  for (const Param& param : member.params()) {
    line += param.optional ? " optional in out " : " in out ";
    line += std::to_string(vartype_of(param.type)) + " ";
    if (member.kind == MemberKind::Method) line += std::string(param.name);
    line += ";";
  }
  if (member.result != ValueType::None) {
    line += " retval out " + std::to_string(vartype_of(member.result)) + " ";
    line += member.kind == MemberKind::Method ? "result;" : ";";
  }
  return line + ")";
}

void test_type_library(Checks& checks, IDispatch* object, const ClassDescriptor& cls) {
  const std::string name(cls.name);
  ITypeInfo* dispatch_info = nullptr;
  if (!checks.check(SUCCEEDED(object->GetTypeInfo(0, 0, &dispatch_info)), name + " GetTypeInfo")) {
    return;
  }
  TYPEATTR* attributes = nullptr;
  dispatch_info->GetTypeAttr(&attributes);
  const WORD wanted =
      TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
  checks.check(attributes->guid == to_guid(cls.iid) && (attributes->wTypeFlags & wanted) == wanted,
               name + " interface: its id, dual, hidden, non-extensible",
               "type flags " + std::to_string(attributes->wTypeFlags));
  dispatch_info->ReleaseTypeAttr(attributes);

  BSTR interface_name = nullptr;
  dispatch_info->GetDocumentation(MEMBERID_NIL, &interface_name, nullptr, nullptr, nullptr);
  checks.equal(narrow(interface_name), std::string(cls.interface_name), name + " interface name");
  SysFreeString(interface_name);

  // The slots: the interface side of the dual interface.
  HREFTYPE reference = 0;
  ITypeInfo* info = nullptr;
  if (SUCCEEDED(dispatch_info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference))) {
    dispatch_info->GetRefTypeInfo(reference, &info);
  }
  if (checks.check(info != nullptr, name + " has an interface type")) {
    info->GetTypeAttr(&attributes);
    const auto members = cls.members();
    checks.check((attributes->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0,
                 name + " interface is automation-compatible");
    checks.check(attributes->cFuncs == members.size(),
                 name + " type library has one function per member");
    // Slots are numbered from the first member, which follows IDispatch's
    // seven (the calls by slot below check where the first one is).
    FUNCDESC* first = nullptr;
    SHORT first_offset = 0;
    if (SUCCEEDED(info->GetFuncDesc(0, &first))) {
      first_offset = first->oVft;
      info->ReleaseFuncDesc(first);
    }
    for (UINT i = 0; i < attributes->cFuncs && i < members.size(); ++i) {
      checks.equal(describe_function(info, i, first_offset), describe_member(members[i], 7 + i),
                   name + " function " + std::to_string(i));
    }
    info->ReleaseTypeAttr(attributes);

    ITypeLib* library = nullptr;
    UINT index = 0;
    info->GetContainingTypeLib(&library, &index);
    TLIBATTR* library_attributes = nullptr;
    library->GetLibAttr(&library_attributes);
    const LibraryDescriptor& descriptor = vantrel_library();
    BSTR library_name = nullptr;
    library->GetDocumentation(-1, &library_name, nullptr, nullptr, nullptr);
    checks.check(library_attributes->guid == to_guid(descriptor.type_library) &&
                     library_attributes->wMajorVerNum == descriptor.major_version &&
                     library_attributes->wMinorVerNum == descriptor.minor_version &&
                     library_attributes->lcid == descriptor.locale &&
                     narrow(library_name) == descriptor.name,
                 name + " type library: Vantrel 27.0, locale neutral");
    SysFreeString(library_name);
    library->ReleaseTLibAttr(library_attributes);
    ITypeInfo* coclass = nullptr;
    if (checks.check(SUCCEEDED(library->GetTypeInfoOfGuid(to_guid(cls.clsid), &coclass)),
                     name + " coclass in the type library")) {
      HREFTYPE default_reference = 0;
      ITypeInfo* default_interface = nullptr;
      INT flags = 0;
      coclass->GetImplTypeFlags(0, &flags);
      coclass->GetRefTypeOfImplType(0, &default_reference);
      coclass->GetRefTypeInfo(default_reference, &default_interface);
      TYPEATTR* default_attributes = nullptr;
      default_interface->GetTypeAttr(&default_attributes);
      checks.check(flags == IMPLTYPEFLAG_FDEFAULT && default_attributes->guid == to_guid(cls.iid),
                   name + " coclass has the interface as its default");
      default_interface->ReleaseTypeAttr(default_attributes);
      default_interface->Release();
      coclass->Release();
    }
    library->Release();
    info->Release();
  }
  dispatch_info->Release();
}

// Calls by name, for comparison with calls by slot.
std::string by_name(IDispatch* object, const wchar_t* name, WORD flags,
                    std::vector<VARIANT> args_last_first) {
  LPOLESTR names = const_cast<LPOLESTR>(name);
  DISPID id = 0;
  object->GetIDsOfNames(IID_NULL, &names, 1, 0, &id);
  DISPID put = DISPID_PROPERTYPUT;
  const bool is_put = (flags & DISPATCH_PROPERTYPUT) != 0;
  DISPPARAMS params = {args_last_first.data(), is_put ? &put : nullptr,
                       static_cast<UINT>(args_last_first.size()), is_put ? 1u : 0u};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO exception{};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, &result, &exception, nullptr);
  std::string outcome;
  if (hr == DISP_E_EXCEPTION) {
    outcome = "error " + std::to_string(exception.scode & 0xFFFF) + " " +
              narrow(exception.bstrDescription);
  } else if (V_VT(&result) == VT_BSTR) {
    outcome = narrow(V_BSTR(&result));
  } else {
    VARIANT text;
    VariantInit(&text);
    VariantChangeType(&text, &result, VARIANT_ALPHABOOL, VT_BSTR);
    outcome = narrow(V_BSTR(&text));
    VariantClear(&text);
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  VariantClear(&result);
  return outcome;
}

// The outcome of two calls made one after the other: the second is made
// only when the first succeeds.
template <class Second>
std::string then(const std::string& first, Second second) {
  return first.rfind("error ", 0) == 0 ? first : first + second();
}

std::string slot_outcome(HRESULT hr, const std::string& value) {
  if (SUCCEEDED(hr)) return value;
  IErrorInfo* info = nullptr;
  BSTR description = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info != nullptr) {
    info->GetDescription(&description);
    info->Release();
  }
  std::string outcome = "error " + std::to_string(hr & 0xFFFF) + " " + narrow(description);
  SysFreeString(description);
  return outcome;
}

VARIANT bstr_variant(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}
VARIANT bool_variant(bool value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// A few members of each class through their slots, each against the same
// call by name on a second object (the first output of an object differs
// from later ones, so both objects start new).
void test_slots(Checks& checks, const std::vector<IDispatch*>& a,
                const std::vector<IDispatch*>& b) {
  {
    _AutoComplete* slots = nullptr;
    a[0]->QueryInterface(IID__AutoComplete, reinterpret_cast<void**>(&slots));
    BSTR field = SysAllocString(L"State"), list = SysAllocString(L"StateList"), result = nullptr;
    VARIANT_BOOL force = VARIANT_TRUE, linked = VARIANT_FALSE;
    const HRESULT hr = slots->EmbedAutoComplete(&field, &list, &force, &linked, &result);
    checks.equal(slot_outcome(hr, narrow(result)),
                 by_name(b[0], L"EmbedAutoComplete", DISPATCH_METHOD,
                         {bool_variant(false), bool_variant(true), bstr_variant(L"StateList"),
                          bstr_variant(L"State")}),
                 "AutoComplete.EmbedAutoComplete by slot and by name");
    SysFreeString(field);
    SysFreeString(list);
    SysFreeString(result);
    slots->Release();
  }
  {
    _Calendar* slots = nullptr;
    a[1]->QueryInterface(IID__Calendar, reinterpret_cast<void**>(&slots));
    VARIANT date = bstr_variant(L"2/14/2003");
    HRESULT hr = slots->put_ActiveDate(&date);
    VARIANT result;
    VariantInit(&result);
    if (SUCCEEDED(hr)) hr = slots->get_ActiveDate(&result);
    checks.equal(
        slot_outcome(hr, SUCCEEDED(hr) ? narrow(V_BSTR(&result)) : ""),
        then(by_name(b[1], L"ActiveDate", DISPATCH_PROPERTYPUT, {bstr_variant(L"2/14/2003")}),
             [&] { return by_name(b[1], L"ActiveDate", DISPATCH_PROPERTYGET, {}); }),
        "Calendar.ActiveDate by slot and by name");
    VariantClear(&date);
    VariantClear(&result);
    slots->Release();
  }
  {
    _ProgressBar* slots = nullptr;
    a[3]->QueryInterface(IID__ProgressBar, reinterpret_cast<void**>(&slots));
    VARIANT during, after;
    VariantInit(&during);
    VariantInit(&after);
    V_VT(&during) = VT_I2;
    V_I2(&during) = 1;
    BSTR result = nullptr;
    const HRESULT hr = slots->Show(&during, &after, &result);
    checks.equal(slot_outcome(hr, narrow(result)),
                 by_name(b[3], L"Show", DISPATCH_METHOD, {VARIANT{}, bool_variant(true)}),
                 "ProgressBar.Show by slot and by name");
    if (SUCCEEDED(hr)) {
      checks.check(V_VT(&during) == VT_BOOL && V_BOOL(&during) == VARIANT_TRUE,
                   "ProgressBar.Show by slot writes the converted argument back");
    }
    SysFreeString(result);
    slots->Release();
  }
  {
    _Tabs* slots = nullptr;
    a[4]->QueryInterface(IID__Tabs, reinterpret_cast<void**>(&slots));
    short width = 120;
    HRESULT hr = slots->put_TabWidth(&width);
    short read = 0;
    if (SUCCEEDED(hr)) hr = slots->get_TabWidth(&read);
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I2;
    V_I2(&value) = 120;
    checks.equal(slot_outcome(hr, std::to_string(read)),
                 then(by_name(b[4], L"TabWidth", DISPATCH_PROPERTYPUT, {value}),
                      [&] { return by_name(b[4], L"TabWidth", DISPATCH_PROPERTYGET, {}); }),
                 "Tabs.TabWidth by slot and by name");
    slots->Release();
  }
  {
    _Tree* slots = nullptr;
    a[5]->QueryInterface(IID__Tree, reinterpret_cast<void**>(&slots));
    BSTR node = SysAllocString(L"Sales"), uri = SysAllocString(L"sales.asp"),
         target = SysAllocString(L"_self"), result = nullptr;
    const HRESULT hr = slots->WriteNode(&node, &uri, &target, nullptr, &result);
    checks.equal(
        slot_outcome(hr, narrow(result)),
        by_name(b[5], L"WriteNode", DISPATCH_METHOD,
                {bstr_variant(L"_self"), bstr_variant(L"sales.asp"), bstr_variant(L"Sales")}),
        "Tree.WriteNode by slot, ImagePath left out, and by name");
    SysFreeString(node);
    SysFreeString(uri);
    SysFreeString(target);
    SysFreeString(result);
    slots->Release();
  }
  {
    _PopupMenu* slots = nullptr;
    a[2]->QueryInterface(IID__PopupMenu, reinterpret_cast<void**>(&slots));
    short width = 200;
    HRESULT hr = slots->put_Width(&width);
    BSTR result = nullptr;
    if (SUCCEEDED(hr)) hr = slots->EmbedPopupMenu(&result);
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_I2;
    V_I2(&value) = 200;
    checks.equal(slot_outcome(hr, narrow(result)),
                 then(by_name(b[2], L"Width", DISPATCH_PROPERTYPUT, {value}),
                      [&] { return by_name(b[2], L"EmbedPopupMenu", DISPATCH_METHOD, {}); }),
                 "PopupMenu.Width and EmbedPopupMenu by slot and by name");
    SysFreeString(result);
    slots->Release();
  }
}

std::wstring registry_text(const std::wstring& key, const wchar_t* value) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS) {
    return L"(none)";
  }
  return text;
}

void test_registration(Checks& checks, const std::wstring& dll, bool registered) {
  const LibraryDescriptor& library = vantrel_library();
  for (const ClassDescriptor& cls : library.classes) {
    const std::string name(cls.name);
    const std::wstring prog_id(cls.prog_id.begin(), cls.prog_id.end());
    CLSID clsid{};
    const HRESULT found = CLSIDFromProgID(prog_id.c_str(), &clsid);
    IDispatch* object = nullptr;
    const HRESULT created = CoCreateInstance(to_guid(cls.clsid), nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IDispatch, reinterpret_cast<void**>(&object));
    if (object != nullptr) object->Release();
    if (registered) {
      checks.check(found == S_OK && clsid == to_guid(cls.clsid),
                   name + ": the programmatic identifier leads to the class id");
      checks.check(created == S_OK, name + ": CoCreateInstance");
      wchar_t key[128];
      StringFromGUID2(to_guid(cls.clsid), key, 64);
      const std::wstring server = std::wstring(L"CLSID\\") + key + L"\\InprocServer32";
      checks.check(_wcsicmp(registry_text(server, nullptr).c_str(), dll.c_str()) == 0 &&
                       registry_text(server, L"ThreadingModel") == L"Apartment",
                   name + ": InprocServer32 is the DLL, ThreadingModel Apartment");
    } else {
      checks.check(FAILED(found), name + ": the programmatic identifier is gone");
      checks.check(created == REGDB_E_CLASSNOTREG, name + ": the class is no longer registered");
    }
  }
  ITypeLib* type_library = nullptr;
  const HRESULT loaded = LoadRegTypeLib(to_guid(library.type_library), library.major_version,
                                        library.minor_version, library.locale, &type_library);
  if (type_library != nullptr) type_library->Release();
  checks.check(registered ? loaded == S_OK : FAILED(loaded),
               registered ? "the type library is registered" : "the type library is gone");
  if (registered) {
    CoFreeUnusedLibrariesEx(0, 0);
    checks.check(GetModuleHandleW(L"vantrel.dll") == nullptr,
                 "the platform unloads the DLL once its objects are released");
  }
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  using namespace vantrel;
  Checks checks;
  if (argc != 3) {
    std::printf("usage: dll_tests PATH\\vantrel.dll registered|unregistered\n");
    return 2;
  }
  const std::wstring dll(argv[1], argv[1] + std::strlen(argv[1]));
  const bool registered = std::string(argv[2]) == "registered";
  CoInitialize(nullptr);
  if (!registered) {
    test_registration(checks, dll, false);
    CoUninitialize();
    return checks.finish();
  }

  HMODULE module = LoadLibraryW(dll.c_str());
  if (!checks.check(module != nullptr, "LoadLibrary vantrel.dll")) return checks.finish();
  // Through void (*)(), the one function type that converts to any other.
  auto get_class_object = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
  auto can_unload = reinterpret_cast<NoArgumentsFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
  checks.check(get_class_object != nullptr && can_unload != nullptr, "the entry points are there");
  checks.check(can_unload() == S_OK, "DllCanUnloadNow before anything: yes");

  std::vector<IDispatch*> first, second;
  for (const ClassDescriptor& cls : vantrel_library().classes) {
    IClassFactory* factory = nullptr;
    checks.check(SUCCEEDED(get_class_object(to_guid(cls.clsid), IID_IClassFactory,
                                            reinterpret_cast<void**>(&factory))),
                 std::string(cls.name) + ": DllGetClassObject");
    if (factory == nullptr) return checks.finish();
    checks.check(can_unload() == S_FALSE, "DllCanUnloadNow while a class object is held: no");
    for (auto* list : {&first, &second}) {
      IDispatch* object = nullptr;
      factory->CreateInstance(nullptr, to_guid(cls.iid), reinterpret_cast<void**>(&object));
      list->push_back(object);
    }
    checks.check(first.back() != nullptr && second.back() != nullptr,
                 std::string(cls.name) + ": CreateInstance for the class's interface");
    IUnknown* unwanted = nullptr;
    checks.check(
        factory->CreateInstance(first.back(), IID_IUnknown, reinterpret_cast<void**>(&unwanted)) ==
            CLASS_E_NOAGGREGATION,
        std::string(cls.name) + ": no aggregation");
    factory->Release();
    if (first.back() == nullptr || second.back() == nullptr) return checks.finish();
  }
  IClassFactory* none = nullptr;
  checks.check(get_class_object(IID_IDispatch, IID_IClassFactory,
                                reinterpret_cast<void**>(&none)) == CLASS_E_CLASSNOTAVAILABLE,
               "DllGetClassObject for another class id: CLASS_E_CLASSNOTAVAILABLE");

  for (std::size_t i = 0; i < first.size(); ++i) {
    test_type_library(checks, first[i], vantrel_library().classes[i]);
  }
  test_slots(checks, first, second);
  checks.check(can_unload() == S_FALSE, "DllCanUnloadNow while objects live: no");
  for (IDispatch* object : first) object->Release();
  checks.check(can_unload() == S_FALSE, "DllCanUnloadNow while some objects live: no");
  for (IDispatch* object : second) object->Release();
  checks.check(can_unload() == S_OK, "DllCanUnloadNow after releasing everything: yes");
  FreeLibrary(module);

  test_registration(checks, dll, true);
  CoUninitialize();
  return checks.finish();
}
