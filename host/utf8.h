#pragma once

#include <string>
#include <string_view>

// The script engine keeps text in its own UTF-8 variant: a character outside
// the basic plane is stored as two 3-byte surrogate halves (as scripts count
// it, two units), and a lone surrogate is stored as such. The page and the
// library use UTF-8. These convert between the two at the boundary.
namespace vantrel::host {

// Engine text to UTF-8: surrogate pairs become one 4-byte character; lone
// surrogates and any byte that is not part of a valid sequence become U+FFFD.
void append_utf8_from_engine(std::string& out, std::string_view engine_text);

// UTF-8 to engine text: 4-byte characters become surrogate pairs; the rest is
// copied as it is.
void append_engine_from_utf8(std::string& out, std::string_view utf8);

// Whether `utf8` needs append_engine_from_utf8 (has a 4-byte character).
bool has_astral(std::string_view utf8);

}  // namespace vantrel::host
