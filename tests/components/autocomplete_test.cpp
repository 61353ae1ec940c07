#include "components/autocomplete/autocomplete.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/script_engine.h"
#include "tests/support/text_files.h"

namespace vantrel {
namespace {

using testing::crlf_lines;
using testing::golden;

constexpr std::string_view kStateField =
    "<INPUT TYPE=\"text\" NAME='State' VALUE='' "
    "ONKEYUP='autoComplete(this,this.form.StateList, true, true)'>";

TEST(AutoComplete, FirstCallCarriesTheScriptThenTheFieldAlone) {
  const std::string script = golden("autocomplete_script.txt");
  const auto lines = crlf_lines(script);
  ASSERT_EQ(lines.size(), 39u);
  EXPECT_EQ(lines.front(), "<script language=\"JavaScript\">");
  EXPECT_EQ(lines[24], "var cursorKeys =\"8;46;37;38;39;40;33;34;35;36;45;\";");
  EXPECT_EQ(lines.back(), "</script>");

  AutoComplete ac;
  EXPECT_EQ(ac.EmbedAutoComplete("State", "StateList", true, true),
            script + std::string(kStateField));
  EXPECT_EQ(ac.EmbedAutoComplete("State", "StateList", true, true), kStateField);
  EXPECT_EQ(ac.EmbedAutoComplete("City", "CityList", false, false),
            "<INPUT TYPE=\"text\" NAME='City' VALUE='' "
            "ONKEYUP='autoComplete(this,this.form.CityList, false, false)'>");

  AutoComplete second;
  EXPECT_EQ(second.EmbedAutoComplete("State", "StateList", true, true),
            script + std::string(kStateField))
      << "every object emits its own script once";
}

TEST(AutoComplete, TruthWordsAndNamesAreWrittenAsGiven) {
  struct Case {
    bool force, by_text;
    const char* tail;
  };
  for (const Case& c :
       {Case{false, false, ", false, false)'>"}, Case{true, true, ", true, true)'>"},
        Case{true, false, ", true, false)'>"}, Case{false, true, ", false, true)'>"}}) {
    AutoComplete ac;
    const std::string out = ac.EmbedAutoComplete("f", "s", c.force, c.by_text);
    EXPECT_TRUE(out.ends_with(c.tail)) << out.substr(out.size() - 30);
  }
  AutoComplete ac;
  ac.EmbedAutoComplete("", "", false, false);
  EXPECT_EQ(ac.EmbedAutoComplete("", "", false, false),
            "<INPUT TYPE=\"text\" NAME='' VALUE='' ONKEYUP='autoComplete(this,this.form., false, "
            "false)'>");
  EXPECT_EQ(ac.EmbedAutoComplete("a'b", "<x>", false, false),
            "<INPUT TYPE=\"text\" NAME='a'b' VALUE='' ONKEYUP='autoComplete(this,this.form.<x>, "
            "false, false)'>")
      << "caller text is not escaped";
}

// The emitted function, run against a stand-in field and select list.
class AutoCompleteScript : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.run_scripts_in(AutoComplete().EmbedAutoComplete("State", "StateList", false, true));
    engine.eval(R"js(
      var event = { keyCode: 65 };
      var selection = null;
      function makeSelect(pairs) {
        var options = [];
        for (var i = 0; i < pairs.length; i++) options.push({ text: pairs[i][0], value: pairs[i][1] });
        return { options: options, selectedIndex: -2 };
      }
      function makeField(value) {
        var field = { value: value };
        field.createTextRange = function () {
          return { text: field.value, moveStart: function (unit, n) { this.start = n; },
                   select: function () { selection = { start: this.start, text: field.value }; } };
        };
        return field;
      }
      var states = makeSelect([["Alabama", "AL"], ["Alaska", "AK"], ["Texas", "TX"]]);
    )js");
  }
  testing::ScriptEngine engine;
};

TEST_F(AutoCompleteScript, CompletesFromTheFirstMatchingOptionAndSelectsTheAddedPart) {
  EXPECT_EQ(engine.eval("var f = makeField('ala'); autoComplete(f, states, false, true);"
                        "[f.value, states.selectedIndex, selection.start].join()"),
            "Alabama,0,3");
  EXPECT_EQ(engine.eval("f = makeField('alas'); autoComplete(f, states, false, true);"
                        "[f.value, states.selectedIndex].join()"),
            "Alaska,1");
  EXPECT_EQ(engine.eval("f = makeField('t'); autoComplete(f, states, false, false);"
                        "[f.value, states.selectedIndex].join()"),
            "TX,2")
      << "matched and completed by value";
}

TEST_F(AutoCompleteScript, NoMatchClearsTheSelectionAndForcedModeTrims) {
  EXPECT_EQ(engine.eval("var f = makeField('alx'); autoComplete(f, states, false, true);"
                        "[f.value, states.selectedIndex].join()"),
            "alx,-1");
  EXPECT_EQ(
      engine.eval("event.keyCode = 37; f = makeField('alx'); autoComplete(f, states, true, true);"
                  "[f.value, states.selectedIndex].join()"),
      "al,-1")
      << "in forced mode even a cursor key trims";
}

TEST_F(AutoCompleteScript, CursorKeysLeaveTheTextAlone) {
  EXPECT_EQ(engine.eval(
                "event.keyCode = 8; var f = makeField('ala'); autoComplete(f, states, false, true);"
                "[f.value, states.selectedIndex].join()"),
            "ala,0");
}

}  // namespace
}  // namespace vantrel
