#pragma once

#include <string>
#include <string_view>

#include "frame/variant.h"
#include "platform/windows/system.h"

// Automation values of the platform (VARIANT, BSTR) and the frame's values.
namespace vantrel::windows {

// A null BSTR is the empty string.
std::string utf8_from_bstr(BSTR text);
// Raises std::bad_alloc when the string cannot be allocated.
BSTR bstr_from_utf8(std::string_view text);

// The frame value of an automation value. By-reference values are read
// through; types the frame has no kind for are converted by the platform
// (bytes, unsigned and 64-bit integers, currency, decimals, singles); an
// object gives its default value; arrays, errors and objects without a
// default value become a value that every conversion rejects.
Variant from_variant(const VARIANT& value);

// Fills `out` (uninitialised or cleared) with the automation form of `value`.
// Raises std::bad_alloc when a string cannot be allocated.
void to_variant(const Variant& value, VARIANT& out);

// Whether a caller left this argument out (an optional argument not given).
bool is_missing(const VARIANT& value);

// Stores `value` into the caller's by-reference argument: into the variable
// that a VT_BYREF | VT_VARIANT argument points to, converted to the type of a
// typed by-reference argument, or into the VARIANT itself. A value that does
// not fit a typed by-reference argument leaves it as it was.
void write_back(VARIANT& argument, const Variant& value);

}  // namespace vantrel::windows
