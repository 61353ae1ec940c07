#pragma once

#include <string>
#include <string_view>

// Automation strings are UTF-16; the frame's strings are UTF-8. A string
// may hold any 16-bit units, unpaired surrogates included, and must come back
// unchanged when a member stores it and returns it: an unpaired surrogate is
// therefore carried as its own 3-byte sequence (as UTF-8 would write the code
// point) and turned back into the same unit. Standard library only.
namespace vantrel::windows {

std::string utf8_from_utf16(std::u16string_view text);
std::u16string utf16_from_utf8(std::string_view text);

}  // namespace vantrel::windows
