#pragma once

#include <unistd.h>

#include <string>
#include <string_view>

namespace vantrel::host {

// The path of one of the command's libraries: beside the command (the build
// tree, or a copy of it), otherwise in ../lib (an installed layout). Found
// from the command's own location, so any copy of the command and its
// libraries runs wherever it is put.
inline std::string library_file(std::string_view name) {
  char buffer[4096];
  const ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string dir = ".";
  if (size > 0) {
    dir.assign(buffer, static_cast<std::size_t>(size));
    dir.erase(dir.find_last_of('/'));
  }
  std::string beside = dir + "/";
  beside.append(name);
  if (access(beside.c_str(), F_OK) == 0) return beside;
  std::string installed = dir + "/../lib/";
  installed.append(name);
  return installed;
}

}  // namespace vantrel::host
