#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "frame/text.h"

namespace vantrel::host {

// A size given on the command line: "1048576", "512K", "64M", "1g" (K, M and
// G are powers of 1024, in either case); at most 1 TiB. Nothing for any
// other text.
inline std::optional<std::size_t> parse_size(std::string_view text) {
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc()) return std::nullopt;
  const std::string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
  int shift = 0;
  if (suffix.size() == 1) {
    const char unit = ascii_upper(suffix[0]);
    shift = unit == 'K' ? 10 : unit == 'M' ? 20 : unit == 'G' ? 30 : -1;
  } else if (!suffix.empty()) {
    shift = -1;
  }
  if (shift < 0 || number > (std::uint64_t{1} << (40 - shift))) return std::nullopt;
  return static_cast<std::size_t>(number << shift);
}

}  // namespace vantrel::host
