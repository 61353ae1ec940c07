#include "host/utf8.h"

#include <gtest/gtest.h>

namespace vantrel::host {
namespace {

TEST(EngineText, SurrogateHalvesBecomeOneUtf8Character) {
  struct Case {
    std::string_view engine, utf8;
  };
  for (const Case& c : {
           Case{"plain", "plain"},
           Case{"\xED\xA0\xBD\xED\xB8\x80", "\xF0\x9F\x98\x80"},  // U+1F600 from two halves
           Case{"a\xED\xA0\xBD"
                "b",
                "a\xED\xA0\xBD"
                "b"},  // a lone half stays as it is
           Case{"\xED\xB8\x80\xED\xA0\xBD",
                "\xED\xB8\x80\xED\xA0\xBD"},  // halves in the wrong order
           Case{"\xC3\xA9\xF0\x9F\x98\x80", "\xC3\xA9\xF0\x9F\x98\x80"},  // UTF-8 already
           Case{"\xED\xA0", "\xED\xA0"},                                  // cut short
       }) {
    std::string out;
    append_utf8_from_engine(out, c.engine);
    EXPECT_EQ(out, c.utf8);
  }
}

}  // namespace
}  // namespace vantrel::host
