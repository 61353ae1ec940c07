#include "platform/windows/com_object.h"

#include <array>
#include <cstdint>
#include <new>
#include <span>
#include <utility>

#include "frame/automation_error.h"
#include "frame/dispatch.h"
#include "platform/windows/variants.h"

namespace vantrel::windows {

namespace {

// A vtable entry; each is cast back to its own signature by the caller.
using Slot = void (*)();

constexpr std::size_t kDispatchSlots = 7;  // IUnknown (3) and IDispatch (4)
constexpr std::int32_t kArgumentNotOptional = 449;
constexpr std::int32_t kOutOfMemory = 7;

struct Object;

// An interface pointer: a vtable and the object behind it.
struct Interface {
  const Slot* vtable;
  Object* owner;
};

struct Object {
  explicit Object(const ClassDescriptor& descriptor);
  ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  Interface dual;           // the class's default interface
  Interface error_support;  // ISupportErrorInfo
  std::array<Slot, kDispatchSlots + kMaxSlots> dual_slots{};
  std::atomic<ULONG> references{1};
  const ClassDescriptor& cls;
  void* instance;
  ITypeInfo* type_info = nullptr;
};

// ---------------------------------------------------------------- errors

HRESULT hresult_of(std::int32_t number) {
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL,
                      static_cast<std::uint32_t>(number) & 0xFFFF);
}

BSTR bstr_or_null(std::string_view text) {
  try {
    return bstr_from_utf8(text);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// Leaves the error in the thread's error object too, for callers that come
// through the slots or pass no EXCEPINFO.
void set_error_info(const Object& object, const AutomationError& error) {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  BSTR source = bstr_or_null(error.source());
  BSTR description = bstr_or_null(error.description());
  create->SetGUID(to_guid(object.cls.iid));
  create->SetSource(source);
  create->SetDescription(description);
  SysFreeString(source);
  SysFreeString(description);
  IErrorInfo* info = nullptr;
  if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
    SetErrorInfo(0, info);
    info->Release();
  }
  create->Release();
}

// An automation error through IDispatch::Invoke: DISP_E_EXCEPTION with the
// number (as 0x800Annnn), source and description in EXCEPINFO, which both
// script engines turn into their error object.
HRESULT raise_through_invoke(const Object& object, const AutomationError& error,
                             EXCEPINFO* exception) {
  set_error_info(object, error);
  if (exception == nullptr) return hresult_of(error.number());
  *exception = EXCEPINFO{};
  exception->scode = hresult_of(error.number());
  exception->bstrSource = bstr_or_null(error.source());
  exception->bstrDescription = bstr_or_null(error.description());
  return DISP_E_EXCEPTION;
}

AutomationError out_of_memory(const Object& object) {
  return AutomationError(kOutOfMemory, std::string(object.cls.prog_id), "Out of memory");
}

// ---------------------------------------------------------------- IUnknown

HRESULT query(Object& object, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == to_guid(object.cls.iid)) {
    *out = &object.dual;
  } else if (iid == IID_ISupportErrorInfo) {
    *out = &object.error_support;
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ++object.references;
  return S_OK;
}

ULONG release(Object& object) {
  const ULONG left = --object.references;
  if (left == 0) delete &object;
  return left;
}

HRESULT STDMETHODCALLTYPE query_interface(Interface* self, REFIID iid, void** out) {
  return query(*self->owner, iid, out);
}
ULONG STDMETHODCALLTYPE add_ref(Interface* self) { return ++self->owner->references; }
ULONG STDMETHODCALLTYPE release_interface(Interface* self) { return release(*self->owner); }

// ---------------------------------------------------------------- ISupportErrorInfo

HRESULT STDMETHODCALLTYPE interface_supports_error_info(Interface* self, REFIID iid) {
  return iid == IID_IDispatch || iid == to_guid(self->owner->cls.iid) ? S_OK : S_FALSE;
}

const Slot kErrorSupportSlots[] = {
    reinterpret_cast<Slot>(&query_interface),
    reinterpret_cast<Slot>(&add_ref),
    reinterpret_cast<Slot>(&release_interface),
    reinterpret_cast<Slot>(&interface_supports_error_info),
};

// ---------------------------------------------------------------- IDispatch

HRESULT STDMETHODCALLTYPE get_type_info_count(Interface*, UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

// The type library is the library file's resource 1.
HRESULT STDMETHODCALLTYPE get_type_info(Interface* self, UINT index, LCID, ITypeInfo** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  Object& object = *self->owner;
  if (object.type_info == nullptr) {
    std::wstring path;
    try {
      path = own_module_path();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = library->GetTypeInfoOfGuid(to_guid(object.cls.iid), &object.type_info);
    library->Release();
    if (FAILED(hr)) return hr;
  }
  object.type_info->AddRef();
  *out = object.type_info;
  return S_OK;
}

// Member names in any case. Named arguments are not supported: names after
// the first get no id.
HRESULT STDMETHODCALLTYPE get_ids_of_names(Interface* self, REFIID iid, LPOLESTR* names, UINT count,
                                           LCID, DISPID* ids) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return S_OK;
  if (names == nullptr || ids == nullptr) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  // Every member name is ASCII and at most kMaxNameSize long: a longer
  // name, or one with any other character, names no member. Read into a
  // buffer of our own, with no allocation.
  char name[kMaxNameSize];
  std::size_t size = 0;
  for (const OLECHAR* c = names[0]; c != nullptr && *c != 0; ++c) {
    if (*c > 0x7F || size == sizeof name) return DISP_E_UNKNOWNNAME;
    name[size++] = static_cast<char>(*c);
  }
  const auto id = find_dispatch_id(self->owner->cls, std::string_view(name, size));
  if (!id) return DISP_E_UNKNOWNNAME;
  ids[0] = *id;
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

// The member a call means. A script reading `o.Name` asks for a property
// get (VBScript adds "or a method"); a call asks for a method (or a property
// get); an assignment for a property let. nullptr when the class has none of
// them: the frame raises 438.
const Member* called_member(const ClassDescriptor& cls, DISPID id, WORD flags) {
  if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
    return find_member(cls, id, MemberKind::PropertyLet);
  }
  const bool get = (flags & DISPATCH_PROPERTYGET) != 0;
  if (get) {
    if (const Member* property = find_member(cls, id, MemberKind::PropertyGet)) return property;
  }
  if ((flags & DISPATCH_METHOD) != 0 || !get) return find_member(cls, id, MemberKind::Method);
  return nullptr;
}

// The arguments of one call, converted to frame values, with what the
// caller's by-reference variables held before it.
struct Arguments {
  std::array<Variant, kMaxParams + 1> values;
  std::array<Variant, kMaxParams + 1> before;
  std::array<Variant*, kMaxParams + 1> pointers{};
  std::array<bool, kMaxParams + 1> written_back{};
  std::size_t count = 0;

  std::span<Variant* const> span() const { return {pointers.data(), count}; }
  void add(Variant value, bool write_back_after) {
    values[count] = std::move(value);
    if (write_back_after) before[count] = values[count];
    written_back[count] = write_back_after;
    pointers[count] = &values[count];
    ++count;
  }
};

bool is_variant_parameter(const Member* member, std::size_t index) {
  return member != nullptr && index < member->param_count &&
         member->params()[index].type == ValueType::Variant;
}

HRESULT STDMETHODCALLTYPE invoke(Interface* self, DISPID id, REFIID iid, LCID, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT*) {
  if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  if (params == nullptr) params = &none;
  if ((params->cArgs > 0 && params->rgvarg == nullptr) || params->cNamedArgs > params->cArgs) {
    return E_INVALIDARG;
  }
  if (result != nullptr) VariantInit(result);
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (put) {
    if (params->cNamedArgs != 1 || params->rgdispidNamedArgs == nullptr ||
        params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_PARAMNOTFOUND;
    }
  } else if (params->cNamedArgs != 0) {
    return DISP_E_NONAMEDARGS;
  }
  Object& object = *self->owner;
  const Member* member = called_member(object.cls, id, flags);

  // The caller's arguments in parameter order: the positional ones (stored
  // last to first), then the new value of a property. More than a member can
  // take are not converted: the frame rejects the count.
  std::array<VARIANT*, kMaxParams + 1> sources{};
  std::size_t count = 0;
  const UINT positional = params->cArgs - params->cNamedArgs;
  for (UINT i = 0; i < positional && count < sources.size(); ++i) {
    sources[count++] = &params->rgvarg[params->cArgs - 1 - i];
  }
  if (put && count < sources.size()) sources[count++] = &params->rgvarg[0];

  Arguments arguments;
  // Members that convert a Variant argument in place leave the converted
  // value in the caller's variable (by-reference arguments only: a value
  // passed by value belongs to the caller).
  auto write_back_all = [&] {
    for (std::size_t i = 0; i < arguments.count; ++i) {
      if (arguments.written_back[i] && !(arguments.values[i] == arguments.before[i])) {
        write_back(*sources[i], arguments.values[i]);
      }
    }
  };
  try {
    try {
      for (std::size_t i = 0; i < count; ++i) {
        const VARIANT& source = *sources[i];
        if (is_missing(source)) {
          if (member != nullptr && i < member->required_count) {
            throw AutomationError(kArgumentNotOptional, "", "Argument not optional");
          }
          arguments.add(Variant(), false);
        } else {
          arguments.add(from_variant(source),
                        is_variant_parameter(member, i) && (V_VT(&source) & VT_BYREF) != 0);
        }
      }
      Variant value;
      try {
        value = vantrel::invoke(object.cls, object.instance, member, arguments.span());
      } catch (...) {
        write_back_all();
        throw;
      }
      write_back_all();
      if (result != nullptr && !put) to_variant(value, *result);
      return S_OK;
    } catch (const std::bad_alloc&) {
      return raise_through_invoke(object, out_of_memory(object), exception);
    }
  } catch (AutomationError& error) {
    error.set_source_if_empty(object.cls.prog_id);
    return raise_through_invoke(object, error, exception);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// ---------------------------------------------------------------- the member slots

// Clears an [out, retval] result before the call, as the caller may not.
void clear_result(void* result, ValueType type) {
  switch (type) {
    case ValueType::String:
      *static_cast<BSTR*>(result) = nullptr;
      return;
    case ValueType::Integer:
      *static_cast<short*>(result) = 0;
      return;
    case ValueType::Boolean:
      *static_cast<VARIANT_BOOL*>(result) = VARIANT_FALSE;
      return;
    case ValueType::Variant:
      VariantInit(static_cast<VARIANT*>(result));
      return;
    case ValueType::None:
      return;
  }
}

void store_result(void* result, ValueType type, const Variant& value) {
  switch (type) {
    case ValueType::String:
      *static_cast<BSTR*>(result) =
          bstr_from_utf8(value.kind() == Variant::Kind::String ? value.string() : to_text(value));
      return;
    case ValueType::Integer:
      *static_cast<short*>(result) = to_integer(value);
      return;
    case ValueType::Boolean:
      *static_cast<VARIANT_BOOL*>(result) = to_boolean(value) ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case ValueType::Variant:
      to_variant(value, *static_cast<VARIANT*>(result));
      return;
    case ValueType::None:
      return;
  }
}

Variant read_parameter(const void* pointer, const Param& param) {
  switch (param.type) {
    case ValueType::String:
      return Variant(utf8_from_bstr(*static_cast<const BSTR*>(pointer)));
    case ValueType::Integer:
      return Variant(static_cast<std::int16_t>(*static_cast<const short*>(pointer)));
    case ValueType::Boolean:
      return Variant(*static_cast<const VARIANT_BOOL*>(pointer) != VARIANT_FALSE);
    case ValueType::Variant: {
      const VARIANT& value = *static_cast<const VARIANT*>(pointer);
      return param.optional && is_missing(value) ? Variant() : from_variant(value);
    }
    case ValueType::None:
      break;
  }
  return Variant();
}

// A call through slot `index` of the dual interface: the member at that
// position of the table, with a pointer for every parameter and one for the
// result. Errors come back as 0x800Annnn with the thread's error object set.
HRESULT call_slot(Interface* self, std::size_t index, void* const* pointers) {
  Object& object = *self->owner;
  const std::span<const Member> members = object.cls.members();
  if (index >= members.size()) return E_NOTIMPL;
  const Member& member = members[index];
  void* result = member.result != ValueType::None ? pointers[member.param_count] : nullptr;
  if (member.result != ValueType::None) {
    if (result == nullptr) return E_POINTER;
    clear_result(result, member.result);
  }
  Arguments arguments;
  auto write_back_all = [&] {
    for (std::size_t i = 0; i < arguments.count; ++i) {
      if (arguments.written_back[i] && !(arguments.values[i] == arguments.before[i])) {
        write_back(*static_cast<VARIANT*>(pointers[i]), arguments.values[i]);
      }
    }
  };
  try {
    try {
      for (std::size_t i = 0; i < member.param_count; ++i) {
        const Param& param = member.params()[i];
        if (pointers[i] == nullptr) {
          if (param.optional) break;  // left out: the frame passes it empty
          return E_POINTER;
        }
        arguments.add(read_parameter(pointers[i], param), param.type == ValueType::Variant);
      }
      Variant value;
      try {
        value = vantrel::invoke(object.cls, object.instance, &member, arguments.span());
      } catch (...) {
        write_back_all();
        throw;
      }
      write_back_all();
      if (result != nullptr) store_result(result, member.result, value);
      return S_OK;
    } catch (const std::bad_alloc&) {
      set_error_info(object, out_of_memory(object));
      return E_OUTOFMEMORY;
    }
  } catch (AutomationError& error) {
    error.set_source_if_empty(object.cls.prog_id);
    set_error_info(object, error);
    return hresult_of(error.number());
  } catch (...) {
    return E_UNEXPECTED;
  }
}

template <std::size_t>
using Pointer = void*;

// The slot function of member `Index` taking `sizeof...(A)` pointers (its
// parameters, then its result).
template <std::size_t Index, std::size_t... A>
HRESULT STDMETHODCALLTYPE member_slot(Interface* self, Pointer<A>... pointers) {
  void* const list[] = {pointers..., nullptr};
  return call_slot(self, Index, list);
}

template <std::size_t Index, std::size_t... A>
Slot erase(std::index_sequence<A...>) {
  return reinterpret_cast<Slot>(&member_slot<Index, A...>);
}

constexpr std::size_t kMaxPointers = kMaxParams + 1;
using SlotRow = std::array<Slot, kMaxPointers + 1>;

template <std::size_t Index, std::size_t... Count>
SlotRow slot_row(std::index_sequence<Count...>) {
  return {erase<Index>(std::make_index_sequence<Count>{})...};
}

template <std::size_t... Index>
std::array<SlotRow, kMaxSlots> slot_table(std::index_sequence<Index...>) {
  return {slot_row<Index>(std::make_index_sequence<kMaxPointers + 1>{})...};
}

HRESULT STDMETHODCALLTYPE unavailable_slot(Interface*) { return E_NOTIMPL; }

Slot member_slot_for(std::size_t index, const Member& member) {
  static const std::array<SlotRow, kMaxSlots> table =
      slot_table(std::make_index_sequence<kMaxSlots>{});
  const std::size_t pointers = member.param_count + (member.result != ValueType::None ? 1 : 0);
  if (index >= kMaxSlots || pointers > kMaxPointers) {
    return reinterpret_cast<Slot>(&unavailable_slot);
  }
  return table[index][pointers];
}

Object::Object(const ClassDescriptor& descriptor)
    : dual{dual_slots.data(), this},
      error_support{kErrorSupportSlots, this},
      cls(descriptor),
      instance(descriptor.binding->create()) {
  dual_slots[0] = reinterpret_cast<Slot>(&query_interface);
  dual_slots[1] = reinterpret_cast<Slot>(&add_ref);
  dual_slots[2] = reinterpret_cast<Slot>(&release_interface);
  dual_slots[3] = reinterpret_cast<Slot>(&get_type_info_count);
  dual_slots[4] = reinterpret_cast<Slot>(&get_type_info);
  dual_slots[5] = reinterpret_cast<Slot>(&get_ids_of_names);
  dual_slots[6] = reinterpret_cast<Slot>(&invoke);
  const std::span<const Member> members = cls.members();
  for (std::size_t i = 0; i < kMaxSlots; ++i) {
    dual_slots[kDispatchSlots + i] = i < members.size() ? member_slot_for(i, members[i])
                                                        : reinterpret_cast<Slot>(&unavailable_slot);
  }
  ++module_counts().objects;
}

Object::~Object() {
  if (type_info != nullptr) type_info->Release();
  cls.binding->destroy(instance);
  --module_counts().objects;
}

}  // namespace

ModuleCounts& module_counts() {
  static ModuleCounts counts;
  return counts;
}

HRESULT create_object(const ClassDescriptor& cls, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  Object* object = nullptr;
  try {
    object = new Object(cls);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
  const HRESULT hr = query(*object, iid, out);
  release(*object);
  return hr;
}

HRESULT STDMETHODCALLTYPE ClassObject::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    AddRef();
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ClassObject::AddRef() {
  return static_cast<ULONG>(++module_counts().locks);
}

ULONG STDMETHODCALLTYPE ClassObject::Release() {
  return static_cast<ULONG>(--module_counts().locks);
}

HRESULT STDMETHODCALLTYPE ClassObject::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return create_object(cls_, iid, out);
}

HRESULT STDMETHODCALLTYPE ClassObject::LockServer(BOOL lock) {
  if (lock) {
    ++module_counts().locks;
  } else {
    --module_counts().locks;
  }
  return S_OK;
}

GUID to_guid(const Guid& guid) {
  GUID result{guid.data1, guid.data2, guid.data3, {}};
  for (std::size_t i = 0; i < guid.data4.size(); ++i) result.Data4[i] = guid.data4[i];
  return result;
}

std::wstring own_module_path() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&own_module_path), &module);
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace vantrel::windows
