#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// A globally unique identifier, laid out as the platform lays it out.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

namespace detail {
consteval std::uint32_t hex_digits(std::string_view text, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    const char c = text[i];
    const int digit = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                               : throw "not a hexadecimal digit";
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}
}  // namespace detail

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", checked at compile time.
consteval Guid make_guid(std::string_view text) {
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
      text[23] != '-') {
    throw "a GUID is written XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
  }
  Guid guid;
  guid.data1 = detail::hex_digits(text, 0, 8);
  guid.data2 = static_cast<std::uint16_t>(detail::hex_digits(text, 9, 4));
  guid.data3 = static_cast<std::uint16_t>(detail::hex_digits(text, 14, 4));
  guid.data4[0] = static_cast<std::uint8_t>(detail::hex_digits(text, 19, 2));
  guid.data4[1] = static_cast<std::uint8_t>(detail::hex_digits(text, 21, 2));
  for (std::size_t i = 0; i < 6; ++i) {
    guid.data4[2 + i] = static_cast<std::uint8_t>(detail::hex_digits(text, 24 + 2 * i, 2));
  }
  return guid;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in capitals, as registries write it.
std::string to_string(const Guid& guid);

}  // namespace vantrel
