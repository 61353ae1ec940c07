#include "frame/guid.h"

namespace vantrel {

namespace {
void append_hex(std::string& out, std::uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kDigits[(value >> shift) & 0xF]);
}
}  // namespace

std::string to_string(const Guid& guid) {
  std::string text = "{";
  append_hex(text, guid.data1, 8);
  text.push_back('-');
  append_hex(text, guid.data2, 4);
  text.push_back('-');
  append_hex(text, guid.data3, 4);
  text.push_back('-');
  append_hex(text, guid.data4[0], 2);
  append_hex(text, guid.data4[1], 2);
  text.push_back('-');
  for (std::size_t i = 2; i < 8; ++i) append_hex(text, guid.data4[i], 2);
  text.push_back('}');
  return text;
}

}  // namespace vantrel
