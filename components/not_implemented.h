#pragma once

#include "frame/automation_error.h"

namespace vantrel {

// Members of classes that are registered but not built yet.
[[noreturn]] inline void raise_not_implemented() {
  throw AutomationError(445, "", "Object doesn't support this action (not implemented yet)");
}

}  // namespace vantrel
