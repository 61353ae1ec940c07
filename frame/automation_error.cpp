#include "frame/automation_error.h"

#include <utility>

namespace vantrel {

AutomationError::AutomationError(std::int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

void AutomationError::set_source_if_empty(std::string_view source) {
  if (source_.empty()) source_ = source;
}

// The descriptions are the platform's own texts for these numbers.
void raise_overflow() { throw AutomationError(error_number::kOverflow, "", "Overflow"); }

void raise_type_mismatch() {
  throw AutomationError(error_number::kTypeMismatch, "", "Type mismatch");
}

void raise_invalid_use_of_null() {
  throw AutomationError(error_number::kInvalidUseOfNull, "", "Invalid use of Null");
}

void raise_not_supported(std::string_view source) {
  throw AutomationError(error_number::kNotSupported, std::string(source),
                        "Object doesn't support this property or method");
}

void raise_wrong_argument_count() {
  throw AutomationError(error_number::kWrongArgumentCount, "",
                        "Wrong number of arguments or invalid property assignment");
}

}  // namespace vantrel
