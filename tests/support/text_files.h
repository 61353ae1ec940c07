#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::testing {

// The expected text in tests/golden/<name>, byte for byte.
std::string golden(std::string_view name);

// Splits text into its CR LF lines. Fails the test when a line ends with a
// bare LF or the text does not end with CR LF (unless `last_open`).
std::vector<std::string> crlf_lines(std::string_view text, bool last_open = false);

// Joins lines, each followed by CR LF.
std::string crlf_join(const std::vector<std::string_view>& lines);

}  // namespace vantrel::testing
