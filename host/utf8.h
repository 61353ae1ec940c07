#pragma once

#include <string>
#include <string_view>

namespace vantrel::host {

// The script engine keeps a character outside the basic plane that a script
// builds from two escapes as two 3-byte halves; the page and the library
// want UTF-8. Joins such halves into the 4-byte form and copies the rest.
void append_utf8_from_engine(std::string& out, std::string_view engine_text);

}  // namespace vantrel::host
