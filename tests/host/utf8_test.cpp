#include "host/utf8.h"

#include <gtest/gtest.h>

namespace vantrel::host {
namespace {

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

TEST(EngineText, SurrogateHalvesBecomeOneUtf8Character) {
  struct Case {
    std::string_view engine;
    std::string utf8;
  };
  const std::string fffd(kFffd);
  for (const Case& c : {
           Case{"plain", "plain"},
           Case{"\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80"},  // U+1F600 from two halves
           Case{"a\xED\xA0\xBD"
                "b",
                "a" + fffd + "b"},                         // a lone half is not UTF-8
           Case{"\xED\xB8\x80\xED\xA0\xBD", fffd + fffd},  // halves in the wrong order
           Case{"\xC3\xA9\xF0\x9F\x98\x80", "\xC3\xA9\xF0\x9F\x98\x80"},  // UTF-8 already
           Case{"\xED\xA0", fffd + fffd},                                 // cut short
           Case{"\xC0\xAF\xFF", fffd + fffd + fffd},                      // overlong, invalid byte
       }) {
    std::string out;
    append_utf8_from_engine(out, c.engine);
    EXPECT_EQ(out, c.utf8);
  }
}

TEST(EngineText, AstralCharactersGoInAsHalvesAndComeBackWhole) {
  for (const std::string_view utf8 :
       {"plain \xC3\xA9", "\xF0\x9F\x98\x80", "a\xF4\x8F\xBF\xBFz\xF0\x90\x80\x80",
        "long plain ASCII text, then \xC3\xA9", "01234567\xF0\x9F\x98\x80",
        "0123456789abcdefghi\xF0\x9F\x98\x80"}) {
    std::string engine, back;
    append_engine_from_utf8(engine, utf8);
    EXPECT_EQ(engine.find('\xF0'), std::string::npos);
    EXPECT_EQ(has_astral(utf8), engine.size() != utf8.size());
    append_utf8_from_engine(back, engine);
    EXPECT_EQ(back, utf8);
  }
}

}  // namespace
}  // namespace vantrel::host
