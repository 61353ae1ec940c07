#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/guid.h"
#include "platform/posix/com.h"

#define VANTREL_RUNTIME_API __attribute__((visibility("default")))

// The small object runtime that libvantrel.so and its hosts share
// (libvantrel_runtime.so): a registry of class and type-library records,
// loading of the libraries that serve them, and creation of objects by
// programmatic identifier. The registry lives in the process: a host records
// the libraries it serves with register_server, the way an installer runs a
// library's own registration.
namespace vantrel::posix {

struct ClassRecord {
  std::string prog_id;  // "Vantrel.Calendar"
  Guid clsid;
  std::string interface_name;  // "_Calendar"
  Guid iid;
  Guid type_library;
  std::uint16_t major_version = 0;
  std::uint16_t minor_version = 0;
  std::string threading_model;  // "Apartment"
  std::string server_path;      // the library that serves the class
  friend bool operator==(const ClassRecord&, const ClassRecord&) = default;
};

struct TypeLibraryRecord {
  Guid id;
  std::string name;
  std::uint16_t major_version = 0;
  std::uint16_t minor_version = 0;
  std::uint32_t locale = 0;
  std::string path;
  friend bool operator==(const TypeLibraryRecord&, const TypeLibraryRecord&) = default;
};

// Records. Putting a record replaces the one with the same id; removing a
// record that is not there is not an error.
VANTREL_RUNTIME_API void registry_put_class(const ClassRecord& record);
VANTREL_RUNTIME_API bool registry_remove_class(const Guid& clsid);
VANTREL_RUNTIME_API void registry_put_type_library(const TypeLibraryRecord& record);
VANTREL_RUNTIME_API bool registry_remove_type_library(const Guid& id, std::uint16_t major_version,
                                                      std::uint16_t minor_version);
VANTREL_RUNTIME_API std::vector<ClassRecord> registry_classes();
VANTREL_RUNTIME_API std::vector<TypeLibraryRecord> registry_type_libraries();
// Programmatic identifiers compare without regard to case.
VANTREL_RUNTIME_API std::optional<ClassRecord> registry_find_class(std::string_view prog_id);

// Loads the library at `path` and calls its DllRegisterServer (or
// DllUnregisterServer). `error` receives a readable reason on failure.
VANTREL_RUNTIME_API HResult register_server(const std::string& path, std::string* error);
VANTREL_RUNTIME_API HResult unregister_server(const std::string& path, std::string* error);

// The class object for a registered class, from the library that serves it.
VANTREL_RUNTIME_API HResult get_class_object(const Guid& clsid, const Guid& iid, void** out,
                                             std::string* error);

// Creates an object by programmatic identifier and returns its dispatch
// interface (one reference, to be released by the caller).
VANTREL_RUNTIME_API HResult create_object(std::string_view prog_id, Dispatch** out,
                                          std::string* error);

// Unloads every loaded library whose DllCanUnloadNow says it can go.
VANTREL_RUNTIME_API void free_unused_libraries();
VANTREL_RUNTIME_API std::size_t loaded_library_count();

}  // namespace vantrel::posix
