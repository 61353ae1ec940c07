#pragma once

#include <string>

#include "frame/library.h"

// The interface definition (IDL) of the library's type library, written from
// the library descriptor and the member tables: the type library, one dual
// interface per class with its members in slot order, and the creatable
// classes. vantrel.idl is this text; widl compiles it into vantrel.tlb.
// Standard library only, so that the same text is produced and checked on
// every build machine.
namespace vantrel::windows {

std::string type_library_idl(const LibraryDescriptor& library);

}  // namespace vantrel::windows
