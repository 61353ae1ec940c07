#include "tests/support/text_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace vantrel::testing {

std::string golden(std::string_view name) {
  const std::string path = std::string(VANTREL_GOLDEN_DIR) + "/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> crlf_lines(std::string_view text, bool last_open) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      EXPECT_TRUE(last_open) << "text does not end with CR LF: " << text.substr(start);
      lines.emplace_back(text.substr(start));
      break;
    }
    EXPECT_TRUE(lf > start && text[lf - 1] == '\r') << "bare LF after line " << lines.size() + 1;
    lines.emplace_back(text.substr(start, lf - start - (lf > start && text[lf - 1] == '\r')));
    start = lf + 1;
  }
  return lines;
}

std::string crlf_join(const std::vector<std::string_view>& lines) {
  std::string text;
  for (std::string_view line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

}  // namespace vantrel::testing
