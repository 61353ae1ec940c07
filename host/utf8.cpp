#include "host/utf8.h"

namespace vantrel::host {

namespace {

// A 3-byte sequence encoding a surrogate: ED A0..BF 80..BF.
bool surrogate_at(std::string_view text, std::size_t i, unsigned& unit) {
  if (i + 3 > text.size()) return false;
  const auto b0 = static_cast<unsigned char>(text[i]);
  const auto b1 = static_cast<unsigned char>(text[i + 1]);
  const auto b2 = static_cast<unsigned char>(text[i + 2]);
  if (b0 != 0xED || b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0) != 0x80) return false;
  unit = 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
  return true;
}

}  // namespace

void append_utf8_from_engine(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned high = 0, low = 0;
    if (surrogate_at(text, i, high) && high < 0xDC00 && surrogate_at(text, i + 3, low) &&
        low >= 0xDC00) {
      const unsigned code = 0x10000u + ((high - 0xD800u) << 10) + (low - 0xDC00u);
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
      i += 6;
      continue;
    }
    out.push_back(text[i]);
    ++i;
  }
}

}  // namespace vantrel::host
