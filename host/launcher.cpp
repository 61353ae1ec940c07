// vantrel: loads the command from libvantrel_command.so and runs it.
//
// The command needs the object runtime (libvantrel_runtime.so) and the
// script engine. Were the command linked against them, a missing library
// would stop it in the loader with status 127 before it could say anything;
// loading it here reports a missing library with the command's own status 3.
// The launcher itself needs only system libraries.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "host/library_dir.h"

namespace {

constexpr int kLibraryError = 3;
constexpr const char* kEntry = "vantrel_command_main";

}  // namespace

int main(int argc, char** argv) {
  const std::string path = vantrel::host::library_file("libvantrel_command.so");
  void* command = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (command == nullptr) {
    std::fprintf(stderr, "vantrel: cannot load the component library: %s\n", dlerror());
    return kLibraryError;
  }
  using Entry = int (*)(int, char**);
  const auto entry = reinterpret_cast<Entry>(dlsym(command, kEntry));
  if (entry == nullptr) {
    std::fprintf(stderr, "vantrel: %s has no %s\n", path.c_str(), kEntry);
    return kLibraryError;
  }
  // The library stays loaded until the process ends: objects it created may
  // be released by exit handlers.
  return entry(argc, argv);
}
