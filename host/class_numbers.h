#pragma once

#include "frame/library.h"

// Small numbers for the library classes whose objects pages use, so that a
// native function can carry its class in its magic number (16 bits) and find
// it without a property look-up. Numbers are given out once per process, in
// the order classes are first seen, and never reused.
namespace vantrel::host {

constexpr int kNoClassNumber = -1;

// The number of `cls`, given on first use; kNoClassNumber once every number
// is taken.
int class_number(const ClassDescriptor& cls);

// The class numbered `number` by class_number; nullptr for any other number.
const ClassDescriptor* numbered_class(int number);

}  // namespace vantrel::host
