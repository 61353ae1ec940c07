#include "platform/posix/runtime.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "frame/text.h"

namespace vantrel::posix {

namespace {

struct LoadedLibrary {
  void* handle = nullptr;
  DllGetClassObjectFn get_class_object = nullptr;
  DllCanUnloadNowFn can_unload_now = nullptr;
};

struct Runtime {
  std::mutex mutex;
  std::vector<ClassRecord> classes;
  std::vector<TypeLibraryRecord> type_libraries;
  std::map<std::string, LoadedLibrary> libraries;  // by canonical path
  // The canonical path of each path a loaded library was asked for: creating
  // an object resolves its server's path once, not on every call (resolving
  // takes a system call per path component). An entry goes with its library.
  std::map<std::string, std::string, std::less<>> canonical_paths;
};

Runtime& runtime() {
  static Runtime* instance = new Runtime();  // lives as long as the process
  return *instance;
}

// The class registered under `prog_id` (case ignored); the caller holds the lock.
const ClassRecord* find_class_locked(const Runtime& rt, std::string_view prog_id) {
  for (const ClassRecord& record : rt.classes) {
    if (equals_ignoring_case(record.prog_id, prog_id)) return &record;
  }
  return nullptr;
}

std::string canonical_path(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  return resolved ? std::string(resolved.get()) : path;
}

void set_error(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
}

// Loads a library once (the caller holds the mutex).
HResult load_library(Runtime& rt, const std::string& path, LoadedLibrary** out,
                     std::string* error) {
  const auto known = rt.canonical_paths.find(path);
  const std::string key = known != rt.canonical_paths.end() ? known->second : canonical_path(path);
  auto found = rt.libraries.find(key);
  if (found == rt.libraries.end()) {
    void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* reason = dlerror();
      set_error(error, reason != nullptr ? reason : "cannot load " + key);
      return result::kLibraryNotLoaded;
    }
    LoadedLibrary library;
    library.handle = handle;
    library.get_class_object =
        reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    library.can_unload_now = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    found = rt.libraries.emplace(key, library).first;
  }
  if (known == rt.canonical_paths.end()) rt.canonical_paths.emplace(path, key);
  *out = &found->second;
  return result::kOk;
}

HResult call_registration(const std::string& path, const char* entry, std::string* error) {
  // Loaded for the call only; a library that serves objects stays loaded
  // through get_class_object.
  void* handle = dlopen(canonical_path(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    set_error(error, reason != nullptr ? reason : "cannot load " + path);
    return result::kLibraryNotLoaded;
  }
  auto function = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, entry));
  HResult hr = result::kEntryPointMissing;
  if (function == nullptr) {
    set_error(error, path + " has no entry point " + entry);
  } else {
    hr = function();
    if (failed(hr)) set_error(error, std::string(entry) + " failed");
  }
  dlclose(handle);
  return hr;
}

}  // namespace

void registry_put_class(const ClassRecord& record) {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  std::erase_if(rt.classes, [&](const ClassRecord& r) { return r.clsid == record.clsid; });
  rt.classes.push_back(record);
}

bool registry_remove_class(const Guid& clsid) {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  return std::erase_if(rt.classes, [&](const ClassRecord& r) { return r.clsid == clsid; }) > 0;
}

void registry_put_type_library(const TypeLibraryRecord& record) {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  std::erase_if(rt.type_libraries, [&](const TypeLibraryRecord& r) {
    return r.id == record.id && r.major_version == record.major_version &&
           r.minor_version == record.minor_version;
  });
  rt.type_libraries.push_back(record);
}

bool registry_remove_type_library(const Guid& id, std::uint16_t major_version,
                                  std::uint16_t minor_version) {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  return std::erase_if(rt.type_libraries, [&](const TypeLibraryRecord& r) {
           return r.id == id && r.major_version == major_version &&
                  r.minor_version == minor_version;
         }) > 0;
}

std::vector<ClassRecord> registry_classes() {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  return rt.classes;
}

std::vector<TypeLibraryRecord> registry_type_libraries() {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  return rt.type_libraries;
}

std::optional<ClassRecord> registry_find_class(std::string_view prog_id) {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  const ClassRecord* record = find_class_locked(rt, prog_id);
  if (record == nullptr) return std::nullopt;
  return *record;
}

HResult register_server(const std::string& path, std::string* error) {
  return call_registration(path, "DllRegisterServer", error);
}

HResult unregister_server(const std::string& path, std::string* error) {
  return call_registration(path, "DllUnregisterServer", error);
}

namespace {

// The class object for a record, from the library that serves it (the caller
// holds the mutex).
HResult class_object(Runtime& rt, const ClassRecord& record, const Guid& iid, void** out,
                     std::string* error) {
  LoadedLibrary* library = nullptr;
  if (const HResult hr = load_library(rt, record.server_path, &library, error); failed(hr)) {
    return hr;
  }
  if (library->get_class_object == nullptr) {
    set_error(error, record.server_path + " has no entry point DllGetClassObject");
    return result::kEntryPointMissing;
  }
  const HResult hr = library->get_class_object(&record.clsid, &iid, out);
  if (failed(hr))
    set_error(error, record.server_path + " refused class " + to_string(record.clsid));
  return hr;
}

}  // namespace

HResult get_class_object(const Guid& clsid, const Guid& iid, void** out, std::string* error) {
  if (out == nullptr) return result::kPointer;
  *out = nullptr;
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  const auto record = std::find_if(rt.classes.begin(), rt.classes.end(),
                                   [&](const ClassRecord& r) { return r.clsid == clsid; });
  if (record == rt.classes.end()) {
    set_error(error, "class " + to_string(clsid) + " is not registered");
    return result::kClassNotRegistered;
  }
  return class_object(rt, *record, iid, out, error);
}

HResult create_object(std::string_view prog_id, Dispatch** out, std::string* error) {
  if (out == nullptr) return result::kPointer;
  *out = nullptr;
  // One look-up under the lock, the record used in place (not copied).
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  const ClassRecord* record = find_class_locked(rt, prog_id);
  if (record == nullptr) {
    set_error(error, "no class is registered as '" + std::string(prog_id) + "'");
    return result::kInvalidClassString;
  }
  void* factory_pointer = nullptr;
  HResult hr = class_object(rt, *record, kIidClassFactory, &factory_pointer, error);
  if (failed(hr)) return hr;
  auto* factory = static_cast<ClassFactory*>(factory_pointer);
  void* object = nullptr;
  hr = factory->create_instance(nullptr, kIidDispatch, &object);
  factory->release();
  if (failed(hr)) {
    set_error(error, "the class object of '" + record->prog_id + "' could not create an object");
    return hr;
  }
  *out = static_cast<Dispatch*>(object);
  return result::kOk;
}

void free_unused_libraries() {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  for (auto it = rt.libraries.begin(); it != rt.libraries.end();) {
    LoadedLibrary& library = it->second;
    if (library.can_unload_now != nullptr && library.can_unload_now() == result::kOk) {
      dlclose(library.handle);
      std::erase_if(rt.canonical_paths,
                    [&](const auto& entry) { return entry.second == it->first; });
      it = rt.libraries.erase(it);
    } else {
      ++it;
    }
  }
}

std::size_t loaded_library_count() {
  Runtime& rt = runtime();
  std::lock_guard lock(rt.mutex);
  return rt.libraries.size();
}

}  // namespace vantrel::posix
