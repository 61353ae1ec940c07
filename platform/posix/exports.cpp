// The four entry points of libvantrel.so. Each hands the library's descriptor
// to the runtime and returns the runtime's answer.
#include <dlfcn.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "components/catalog.h"
#include "platform/posix/runtime.h"
#include "platform/posix/server.h"

#define VANTREL_EXPORT extern "C" __attribute__((visibility("default")))

using vantrel::Guid;
using vantrel::posix::HResult;
namespace result = vantrel::posix::result;

namespace {

// The path this library was loaded from, recorded as the server of its classes.
std::string own_path() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&own_path), &info) == 0 || info.dli_fname == nullptr)
    return {};
  std::unique_ptr<char, decltype(&free)> resolved(realpath(info.dli_fname, nullptr), &free);
  return resolved ? std::string(resolved.get()) : std::string(info.dli_fname);
}

}  // namespace

VANTREL_EXPORT HResult DllRegisterServer() {
  try {
    const vantrel::LibraryDescriptor& library = vantrel::vantrel_library();
    const std::string path = own_path();
    if (path.empty()) return result::kFail;
    vantrel::posix::registry_put_type_library({library.type_library, std::string(library.name),
                                               library.major_version, library.minor_version,
                                               library.locale, path});
    for (const vantrel::ClassDescriptor& cls : library.classes) {
      vantrel::posix::registry_put_class(
          {std::string(cls.prog_id), cls.clsid, std::string(cls.interface_name), cls.iid,
           library.type_library, library.major_version, library.minor_version,
           std::string(library.threading_model), path});
    }
    return result::kOk;
  } catch (...) {
    return result::kOutOfMemory;
  }
}

VANTREL_EXPORT HResult DllUnregisterServer() {
  const vantrel::LibraryDescriptor& library = vantrel::vantrel_library();
  for (const vantrel::ClassDescriptor& cls : library.classes) {
    vantrel::posix::registry_remove_class(cls.clsid);
  }
  vantrel::posix::registry_remove_type_library(library.type_library, library.major_version,
                                               library.minor_version);
  return result::kOk;
}

VANTREL_EXPORT HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** out) {
  if (out == nullptr) return result::kPointer;
  *out = nullptr;
  if (clsid == nullptr || iid == nullptr) return result::kInvalidArgument;
  vantrel::posix::ClassObject* object = vantrel::posix::find_class_object(*clsid);
  if (object == nullptr) return result::kClassNotAvailable;
  return object->query_interface(*iid, out);
}

VANTREL_EXPORT HResult DllCanUnloadNow() {
  const vantrel::posix::ModuleCounts& counts = vantrel::posix::module_counts();
  return counts.objects == 0 && counts.locks == 0 ? result::kOk : result::kFalse;
}
