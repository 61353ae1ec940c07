// Prints the library's IDL (platform/windows/vantrel.idl) from the member
// tables: `vantrel_write_idl > platform/windows/vantrel.idl`.
#include <cstdio>
#include <string>

#include "components/catalog.h"
#include "platform/windows/type_library_idl.h"

int main() {
  const std::string idl = vantrel::windows::type_library_idl(vantrel::vantrel_library());
  return std::fwrite(idl.data(), 1, idl.size(), stdout) == idl.size() ? 0 : 1;
}
