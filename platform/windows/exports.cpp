// The four entry points of vantrel.dll. Each hands the library's descriptor
// (components/catalog.cpp) to the platform and returns its answer.
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "components/catalog.h"
#include "platform/windows/com_object.h"
#include "platform/windows/system.h"
#include "platform/windows/utf16.h"

namespace {

using vantrel::ClassDescriptor;
using vantrel::LibraryDescriptor;
using vantrel::windows::ClassObject;

std::wstring wide(std::string_view text) {
  const std::u16string units = vantrel::windows::utf16_from_utf8(text);
  return std::wstring(units.begin(), units.end());
}

std::wstring guid_text(const vantrel::Guid& guid) { return wide(vantrel::to_string(guid)); }

std::wstring class_key(const ClassDescriptor& cls) { return L"CLSID\\" + guid_text(cls.clsid); }

// Writes one text value under HKEY_CLASSES_ROOT\key (`name` null: the
// key's default value).
bool set_text(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG written =
      RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return written == ERROR_SUCCESS;
}

// The class id that HKEY_CLASSES_ROOT\<prog_id>\CLSID names, or empty.
std::wstring registered_class_id(const std::wstring& prog_id) {
  wchar_t value[64] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, (prog_id + L"\\CLSID").c_str(), nullptr, RRF_RT_REG_SZ,
                   nullptr, value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

// Records one class: its class id with the server's path, apartment
// threading, programmatic identifier and type library, and the programmatic
// identifier that leads to the class id.
bool register_class(const LibraryDescriptor& library, const ClassDescriptor& cls,
                    const std::wstring& path) {
  const std::wstring key = class_key(cls);
  const std::wstring prog_id = wide(cls.prog_id);
  const std::wstring version =
      std::to_wstring(library.major_version) + L"." + std::to_wstring(library.minor_version);
  return set_text(key, nullptr, prog_id) && set_text(key + L"\\InprocServer32", nullptr, path) &&
         set_text(key + L"\\InprocServer32", L"ThreadingModel", wide(library.threading_model)) &&
         set_text(key + L"\\ProgID", nullptr, prog_id) &&
         set_text(key + L"\\TypeLib", nullptr, guid_text(library.type_library)) &&
         set_text(key + L"\\Version", nullptr, version) && set_text(prog_id, nullptr, prog_id) &&
         set_text(prog_id + L"\\CLSID", nullptr, guid_text(cls.clsid));
}

// Removes what register_class and the type library registration wrote. A
// programmatic identifier that another server has taken over since is left
// alone.
void unregister_all(const LibraryDescriptor& library) {
  for (const ClassDescriptor& cls : library.classes) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, class_key(cls).c_str());
    const std::wstring prog_id = wide(cls.prog_id);
    if (registered_class_id(prog_id) == guid_text(cls.clsid)) {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, prog_id.c_str());
    }
  }
  // Also removes the interfaces' records.
  UnRegisterTypeLib(vantrel::windows::to_guid(library.type_library), library.major_version,
                    library.minor_version, library.locale, SYS_WIN64);
}

HRESULT register_all(const LibraryDescriptor& library) {
  const std::wstring path = vantrel::windows::own_module_path();
  if (path.empty()) return SELFREG_E_CLASS;
  for (const ClassDescriptor& cls : library.classes) {
    if (!register_class(library, cls, path)) {
      unregister_all(library);
      return SELFREG_E_CLASS;
    }
  }
  // The type library is the file's resource 1; registering it records the
  // library and its interfaces.
  ITypeLib* type_library = nullptr;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &type_library))) {
    unregister_all(library);
    return SELFREG_E_TYPELIB;
  }
  type_library->Release();
  return S_OK;
}

ClassObject* find_class_object(REFCLSID clsid) {
  static std::vector<ClassObject> objects = [] {
    std::vector<ClassObject> list;
    for (const ClassDescriptor& cls : vantrel::vantrel_library().classes) list.emplace_back(cls);
    return list;
  }();
  for (ClassObject& object : objects) {
    if (vantrel::windows::to_guid(object.descriptor().clsid) == clsid) return &object;
  }
  return nullptr;
}

}  // namespace

extern "C" {

STDAPI DllRegisterServer() {
  try {
    return register_all(vantrel::vantrel_library());
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDAPI DllUnregisterServer() {
  try {
    unregister_all(vantrel::vantrel_library());
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  try {
    ClassObject* object = find_class_object(clsid);
    if (object == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return object->QueryInterface(iid, out);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDAPI DllCanUnloadNow() {
  const vantrel::windows::ModuleCounts& counts = vantrel::windows::module_counts();
  return counts.objects == 0 && counts.locks == 0 ? S_OK : S_FALSE;
}

}  // extern "C"
