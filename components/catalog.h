#pragma once

#include "frame/library.h"

namespace vantrel {

// The Vantrel library: its identity and its six creatable classes.
const LibraryDescriptor& vantrel_library();

}  // namespace vantrel
