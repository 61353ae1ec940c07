#include "host/utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantrel::host {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

unsigned byte_at(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
}

bool continuation(unsigned byte) { return (byte & 0xC0u) == 0x80u; }

// A 3-byte sequence encoding a surrogate at `i`: ED A0..BF 80..BF.
bool surrogate_at(std::string_view text, std::size_t i, unsigned& unit) {
  const unsigned b1 = byte_at(text, i + 1);
  const unsigned b2 = byte_at(text, i + 2);
  if (byte_at(text, i) != 0xED || b1 < 0xA0 || b1 > 0xBF || !continuation(b2)) return false;
  unit = 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
  return true;
}

// The length of the valid UTF-8 sequence (not a surrogate) at `i`, or 0.
std::size_t valid_sequence_at(std::string_view text, std::size_t i) {
  const unsigned b0 = byte_at(text, i);
  const unsigned b1 = byte_at(text, i + 1);
  if (b0 >= 0xC2 && b0 <= 0xDF) return continuation(b1) ? 2 : 0;
  if (b0 >= 0xE0 && b0 <= 0xEF) {
    const unsigned low = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = b0 == 0xED ? 0x9F : 0xBF;
    return b1 >= low && b1 <= high && continuation(byte_at(text, i + 2)) ? 3 : 0;
  }
  if (b0 >= 0xF0 && b0 <= 0xF4) {
    const unsigned low = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned high = b0 == 0xF4 ? 0x8F : 0xBF;
    return b1 >= low && b1 <= high && continuation(byte_at(text, i + 2)) &&
                   continuation(byte_at(text, i + 3))
               ? 4
               : 0;
  }
  return 0;
}

// Where the run of ASCII bytes from `i` ends, looked at 32 bytes at a time
// (four words, one test: the pages' texts are mostly long ASCII runs), then
// eight.
std::size_t ascii_run_end(std::string_view text, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  for (std::uint64_t words[4]; i + sizeof words <= text.size(); i += sizeof words) {
    std::memcpy(words, text.data() + i, sizeof words);
    if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0) break;
  }
  for (std::uint64_t word = 0; i + sizeof word <= text.size(); i += sizeof word) {
    std::memcpy(&word, text.data() + i, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0x80u) == 0) ++i;
  return i;
}

}  // namespace

void append_utf8_from_engine(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t run_end = ascii_run_end(text, i);
    out.append(text.data() + i, run_end - i);
    i = run_end;
    if (i == text.size()) break;
    unsigned high = 0, low = 0;
    if (surrogate_at(text, i, high)) {
      if (high < 0xDC00 && surrogate_at(text, i + 3, low) && low >= 0xDC00) {
        const unsigned code = 0x10000u + ((high - 0xD800u) << 10) + (low - 0xDC00u);
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        i += 6;
      } else {
        out.append(kReplacement);
        i += 3;
      }
      continue;
    }
    const std::size_t length = valid_sequence_at(text, i);
    if (length == 0) {
      out.append(kReplacement);
      ++i;
    } else {
      out.append(text.data() + i, length);
      i += length;
    }
  }
}

bool has_astral(std::string_view utf8) {
  const std::size_t first_other = ascii_run_end(utf8, 0);
  return std::any_of(utf8.begin() + static_cast<std::ptrdiff_t>(first_other), utf8.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

void append_engine_from_utf8(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + text.size() / 2);
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned b0 = byte_at(text, i);
    if (b0 < 0xF0 || valid_sequence_at(text, i) != 4) {
      out.push_back(text[i]);
      ++i;
      continue;
    }
    const unsigned code = ((b0 & 0x07u) << 18) | ((byte_at(text, i + 1) & 0x3Fu) << 12) |
                          ((byte_at(text, i + 2) & 0x3Fu) << 6) | (byte_at(text, i + 3) & 0x3Fu);
    for (const unsigned unit : {0xD800u + ((code - 0x10000u) >> 10), 0xDC00u + (code & 0x3FFu)}) {
      out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
      out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
    i += 4;
  }
}

}  // namespace vantrel::host
