#include "components/tabs/tabs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "frame/automation_error.h"
#include "tests/support/script_engine.h"
#include "tests/support/text_files.h"

namespace vantrel {
namespace {

using testing::crlf_lines;
using testing::golden;

std::string write(Tabs& tabs, std::string_view content_name = "Content",
                  std::string_view url = "page.html") {
  Variant name(content_name), address(url);
  std::string out = tabs.WriteTab(name, address);
  // The label closes every result; the wrapper that the header opens stays open.
  EXPECT_TRUE(out.ends_with("\">\r\n" + tabs.GetTabName() + "</div>\r\n")) << out;
  return out;
}

template <class Call>
std::optional<AutomationError> error_of(Call call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error;
  }
  return std::nullopt;
}

// A strip as the pages set it up: TabName One, 80/400/300, two tabs.
Tabs one_two() {
  Tabs tabs;
  tabs.LetTabName("One");
  tabs.LetTabWidth(80);
  tabs.LetPanelWidth(400);
  tabs.LetPanelHeight(300);
  tabs.LetTabCount(2);
  return tabs;
}

// The lines of one tab's markup after any header: panel, <br>, frame, label,
// name.
struct TabLines {
  std::string panel, br, frame, label, name;
};

TabLines tab_lines(const std::string& out) {
  std::vector<std::string> lines = crlf_lines(out);
  EXPECT_GE(lines.size(), 5u);
  if (lines.size() < 5) return {};
  lines.erase(lines.begin(), lines.end() - 5);
  return {lines[0], lines[1], lines[2], lines[3], lines[4]};
}

TEST(Tabs, ANewObjectHoldsItsDefaults) {
  Tabs tabs;
  EXPECT_EQ(tabs.GetTabName(), "");
  EXPECT_EQ(tabs.GetTabWidth(), 0);
  EXPECT_EQ(tabs.GetPanelWidth(), 0);
  EXPECT_EQ(tabs.GetPanelHeight(), 0);
  EXPECT_EQ(tabs.GetTabCount(), 0);
  EXPECT_EQ(tabs.GetLayerColor(), "e0e0e0");
  EXPECT_EQ(tabs.GetJavaScriptOnClick(), "");
}

TEST(Tabs, TwoTabsOfOneStrip) {
  const std::string expected = golden("tabs_two_tabs.txt");
  const std::vector<std::string> lines = crlf_lines(expected);
  ASSERT_EQ(lines.size(), 40u) << "30 header lines, then 5 lines per tab";
  EXPECT_EQ(lines[4], "var numDiv = 2");
  EXPECT_EQ(lines[29], "<div style=\"background-color: transparent; position: relative;\">");

  Tabs tabs = one_two();
  const std::string first = write(tabs, "Content0", "first.html");
  const std::string second = write(tabs, "Content1", "second.html");
  EXPECT_EQ(first + second, expected);
  EXPECT_EQ(crlf_lines(first).size(), 35u) << "the first tab carries the header";
  EXPECT_EQ(crlf_lines(second).size(), 5u) << "later tabs do not";

  Tabs other = one_two();
  EXPECT_EQ(write(other, "Content0", "first.html"), first)
      << "a second object writes its own header and starts again at tab 0";
}

TEST(Tabs, AHiddenTabKeepsItsPlaceAndTheNextIsVisibleAgain) {
  Tabs tabs = one_two();
  write(tabs);
  tabs.LetIsVisible(false);
  const TabLines hidden = tab_lines(write(tabs));
  EXPECT_EQ(hidden.panel,
            "<div id='p1panel1' class='panel' style='background-color: #e0e0e0;  z-index:1; "
            "display: none'>");
  EXPECT_EQ(hidden.label,
            "<div onclick=\"selectTab(1);\" id=\"p1tab1\" class=\"tab\" "
            "style=\"background-color:#e0e0e0; height:20px; left:80px; top:0px; z-index:1; "
            "display: none\">");
  EXPECT_EQ(hidden.name, "One</div>");

  const TabLines next = tab_lines(write(tabs));
  EXPECT_EQ(next.panel,
            "<div id='p1panel2' class='panel' style='background-color: #e0e0e0;  z-index:0'>");
  EXPECT_EQ(next.label,
            "<div onclick=\"selectTab(2);\" id=\"p1tab2\" class=\"tab\" "
            "style=\"background-color:#e0e0e0; height:20px; left:160px; top:0px; z-index:0\">");
}

TEST(Tabs, OneShotSettingsApplyToOneTabAndCarriedSettingsStay) {
  Tabs tabs = one_two();
  tabs.LetJavaScriptOnClick("alert(1)");
  tabs.LetLayerColor("ffcc00");
  const TabLines first = tab_lines(write(tabs));
  EXPECT_TRUE(first.label.starts_with("<div onclick=\"selectTab(0);alert(1)\" id=\"p1tab0\""))
      << first.label;
  EXPECT_NE(first.label.find("background-color:#ffcc00;"), std::string::npos);
  EXPECT_NE(first.panel.find("background-color: #ffcc00;"), std::string::npos);

  EXPECT_EQ(tabs.GetJavaScriptOnClick(), "");
  EXPECT_EQ(tabs.GetTabName(), "One");
  EXPECT_EQ(tabs.GetLayerColor(), "ffcc00");
  EXPECT_EQ(tabs.GetTabWidth(), 80);
  EXPECT_EQ(tabs.GetPanelWidth(), 400);
  EXPECT_EQ(tabs.GetPanelHeight(), 300);
  EXPECT_EQ(tabs.GetTabCount(), 2);

  tabs.LetTabName("Two");
  const TabLines second = tab_lines(write(tabs));
  EXPECT_TRUE(second.label.starts_with("<div onclick=\"selectTab(1);\" id=\"p1tab1\""))
      << second.label;
  EXPECT_NE(second.label.find("background-color:#ffcc00;"), std::string::npos);
  EXPECT_EQ(second.name, "Two</div>");
}

TEST(Tabs, SettingsLeftAtTheirDefaultsAreWrittenAsTheyStand) {
  Tabs tabs;
  tabs.LetTabName("T");
  const std::string first = write(tabs, "c", "u");
  EXPECT_EQ(crlf_lines(first)[4], "var numDiv = 0");
  EXPECT_NE(first.find("border-bottom-style: none; width:0px; margin:0px;"), std::string::npos);
  EXPECT_NE(first.find("border-style:outset; width:0px; height:0px; left:0px;"), std::string::npos);

  const std::vector<std::string> orders = {tab_lines(first).panel, tab_lines(write(tabs)).panel,
                                           tab_lines(write(tabs)).panel};
  EXPECT_TRUE(orders[0].ends_with("z-index:0'>")) << orders[0];
  EXPECT_TRUE(orders[1].ends_with("z-index:-1'>")) << orders[1];
  EXPECT_TRUE(orders[2].ends_with("z-index:-2'>")) << orders[2];
  EXPECT_EQ(tab_lines(first).frame,
            "<iframe name=\"c\" border=1 frameborder=1 src=\"u\" width=\"-17\" "
            "height=\"-20\"></iframe></div>");
}

TEST(Tabs, TheHeaderTakesTheSettingsOfTheFirstCompletedCall) {
  Tabs tabs;
  EXPECT_TRUE(error_of([&] { write(tabs); }));
  tabs.LetTabName("One");
  tabs.LetTabWidth(1000);
  tabs.LetPanelWidth(-32768);
  EXPECT_TRUE(error_of([&] { write(tabs); })) << "frame width overflows";
  tabs.LetPanelWidth(500);
  tabs.LetPanelHeight(200);
  tabs.LetTabCount(3);
  const std::string first = write(tabs);
  const std::vector<std::string> lines = crlf_lines(first);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(lines[4], "var numDiv = 3");
  EXPECT_NE(lines[22].find("width:1000px;"), std::string::npos);
  EXPECT_NE(lines[25].find("width:500px; height:200px;"), std::string::npos);
  EXPECT_EQ(lines[30],
            "<div id='p1panel0' class='panel' style='background-color: #e0e0e0;  z-index:3'>");

  tabs.LetTabWidth(90);
  tabs.LetTabCount(7);
  const std::string second = write(tabs);
  EXPECT_EQ(second.find("<script"), std::string::npos);
  EXPECT_EQ(second.find("width:90px"), std::string::npos) << "the style sheet is not rewritten";
  EXPECT_NE(tab_lines(second).label.find("left:90px; top:0px; z-index:6\">"), std::string::npos)
      << "the new settings reach the tab's own values";
}

TEST(Tabs, AnEmptyTabNameFailsWithoutUsingUpAnIndex) {
  Tabs tabs = one_two();
  tabs.LetTabName("");
  tabs.LetJavaScriptOnClick("go()");
  tabs.LetIsVisible(false);
  const std::optional<AutomationError> error = error_of([&] { write(tabs); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->number(), 1);
  EXPECT_EQ(error->source(), "OlvinTabs.TABS");
  EXPECT_EQ(error->description(), "TabName property is empty.");
  EXPECT_EQ(tabs.GetJavaScriptOnClick(), "go()") << "a failed call resets nothing";

  tabs.LetTabName(" ");
  const std::string out = write(tabs);
  EXPECT_TRUE(out.starts_with("<script language=\"JavaScript\">")) << "the header is still due";
  const TabLines tab = tab_lines(out);
  EXPECT_TRUE(tab.panel.starts_with("<div id='p1panel0'")) << tab.panel;
  EXPECT_TRUE(tab.panel.ends_with("; display: none'>")) << "IsVisible was kept";
  EXPECT_TRUE(tab.label.starts_with("<div onclick=\"selectTab(0);go()\"")) << tab.label;
  EXPECT_EQ(tab.name, " </div>") << "a blank name is a name";
}

// A call that overflows returns nothing and changes nothing: the next call
// writes the same index, and the one-shot settings still apply to it.
TEST(Tabs, OverflowingPositionsFailAndChangeNothing) {
  struct Case {
    std::int16_t tab_width;
    int first_failing_index;
  };
  for (const Case& c : {Case{1000, 33}, Case{100, 328}}) {
    SCOPED_TRACE(c.tab_width);
    Tabs tabs = one_two();
    tabs.LetTabWidth(c.tab_width);
    for (int i = 0; i < c.first_failing_index; ++i) write(tabs);
    tabs.LetJavaScriptOnClick("kept()");
    tabs.LetIsVisible(false);
    const std::optional<AutomationError> error = error_of([&] { write(tabs); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), error_number::kOverflow);
    EXPECT_EQ(tabs.GetJavaScriptOnClick(), "kept()");

    tabs.LetTabWidth(1);
    const std::string index = std::to_string(c.first_failing_index);
    const TabLines next = tab_lines(write(tabs));
    EXPECT_TRUE(next.label.starts_with("<div onclick=\"selectTab(" + index +
                                       ");kept()\" id=\"p1tab" + index + "\""))
        << next.label;
    EXPECT_TRUE(next.label.ends_with("; display: none\">")) << next.label;
  }
}

TEST(Tabs, EveryComputedValueIsCheckedForOverflow) {
  struct Case {
    const char* what;
    std::int16_t tab_count, panel_width, panel_height;
    int good_calls;  // calls that pass before the failing one
  };
  for (const Case& c :
       {Case{"TabCount - n", -32768, 400, 300, 1}, Case{"PanelWidth - 17", 2, -32752, 300, 0},
        Case{"PanelHeight - 20", 2, 400, -32749, 0}}) {
    SCOPED_TRACE(c.what);
    Tabs tabs = one_two();
    tabs.LetTabCount(c.tab_count);
    tabs.LetPanelWidth(c.panel_width);
    tabs.LetPanelHeight(c.panel_height);
    for (int i = 0; i < c.good_calls; ++i) EXPECT_FALSE(error_of([&] { write(tabs); }));
    const std::optional<AutomationError> error = error_of([&] { write(tabs); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), error_number::kOverflow);
  }

  // The index itself: 32768 tabs are 0 to 32767, the next one has none.
  Tabs tabs;
  tabs.LetTabName("x");
  for (int i = 0; i <= 32767; ++i) write(tabs);
  const std::optional<AutomationError> error = error_of([&] { write(tabs); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->number(), error_number::kOverflow);
}

TEST(Tabs, ArgumentsAreWrittenAsTextUnescaped) {
  struct Case {
    Variant content_name, url;
    const char* frame_start;
  };
  const Case cases[] = {
      {Variant(std::string_view("a\"b<i>")), Variant(std::string_view("x.asp?a=1&b='2'")),
       "<iframe name=\"a\"b<i>\" border=1 frameborder=1 src=\"x.asp?a=1&b='2'\""},
      {Variant(), Variant::null(), "<iframe name=\"\" border=1 frameborder=1 src=\"\""},
      {Variant(std::int32_t{7}), Variant(2.5),
       "<iframe name=\"7\" border=1 frameborder=1 src=\"2.5\""},
      {Variant(true), Variant(std::string_view("")),
       "<iframe name=\"True\" border=1 frameborder=1 src=\"\""},
  };
  for (const Case& c : cases) {
    Tabs tabs = one_two();
    Variant name = c.content_name, url = c.url;
    const TabLines tab = tab_lines(tabs.WriteTab(name, url));
    EXPECT_TRUE(tab.frame.starts_with(c.frame_start)) << tab.frame;
    EXPECT_EQ(name, c.content_name) << "arguments are not changed";
    EXPECT_EQ(url, c.url);
  }

  Tabs tabs = one_two();
  tabs.LetTabName("<b>One</b>");
  tabs.LetJavaScriptOnClick("f(\"x\")");
  const TabLines tab = tab_lines(write(tabs));
  EXPECT_TRUE(tab.label.starts_with("<div onclick=\"selectTab(0);f(\"x\")\"")) << tab.label;
  EXPECT_EQ(tab.name, "<b>One</b></div>");

  Variant object = Variant::object(), url(std::string_view("u"));
  const std::optional<AutomationError> error = error_of([&] { tabs.WriteTab(object, url); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->number(), error_number::kTypeMismatch);
  EXPECT_TRUE(tab_lines(write(tabs)).panel.starts_with("<div id='p1panel1'"));
}

TEST(Tabs, LayerColorSteps) {
  struct Case {
    const char* start;
    const char* steps;  // '+' next, '-' previous
    const char* result;
  };
  const Case cases[] = {
      {"e0e0e0", "+", "EFEFEF"},    {"e0e0e0", "++", "FEFEFE"}, {"e0e0e0", "+++", "FFFFFF"},
      {"e0e0e0", "++++", "FFFFFF"}, {"e0e0e0", "-", "D1D1D1"},  {"0a1020", "-", "FF0111"},
      {"0f0f0f", "-", "000000"},    {"000000", "-", "FFFFFF"},  {"e0e0e0ff", "+", "EFEFEF"},
      {"fffff", "+", "FFFF1E"},     {"fffff", "-", "F0F000"},   {"0E0e0F", "-", "FFFF00"},
      {"aBcDeF", "", "aBcDeF"},     {"00", "", "00"},
  };
  for (const Case& c : cases) {
    Tabs tabs;
    tabs.LetLayerColor(c.start);
    for (const char* step = c.steps; *step != '\0'; ++step) {
      if (*step == '+') {
        tabs.MoveNextLayerColor();
      } else {
        tabs.MovePreviousLayerColor();
      }
    }
    EXPECT_EQ(tabs.GetLayerColor(), c.result) << c.start << " " << c.steps;
  }

  Tabs tabs;
  tabs.LetTabName("x");
  tabs.MoveNextLayerColor();
  const TabLines tab = tab_lines(write(tabs));
  EXPECT_NE(tab.panel.find("background-color: #EFEFEF;"), std::string::npos)
      << "the stepped colour is the one written";
}

TEST(Tabs, AColourThatIsNotHexFailsAndStaysAsItWas) {
  for (const char* colour : {"#e0e0e0", "", "e", "e0e0", "e0g0e0", "e0e0e ", " e0e0e0", "e0-1e0",
                             "\xC3\xA9"
                             "0e0e0"}) {
    for (const bool next : {true, false}) {
      Tabs tabs;
      tabs.LetLayerColor(colour);
      const std::optional<AutomationError> error = error_of([&] {
        if (next) {
          tabs.MoveNextLayerColor();
        } else {
          tabs.MovePreviousLayerColor();
        }
      });
      ASSERT_TRUE(error) << colour;
      EXPECT_EQ(error->number(), error_number::kTypeMismatch) << colour;
      EXPECT_EQ(tabs.GetLayerColor(), colour);
    }
  }
}

// The emitted selectTab, run against stand-in panels and labels.
class SelectTab : public ::testing::Test {
 protected:
  void SetUp() override {
    Tabs tabs;
    tabs.LetTabName("t");
    tabs.LetTabCount(3);
    std::string page;
    for (int i = 0; i < 3; ++i) page += write(tabs);
    engine.run_scripts_in(page);
    engine.eval(R"js(
      var elements = {};
      var document = { getElementById: function (id) { return elements[id]; } };
      var window = { document: document };
      function order() {
        var orders = [];
        for (var i = 0; i < 3; i++) {
          orders.push(elements['p1panel' + i].style.zIndex + '/' + elements['p1tab' + i].style.zIndex);
        }
        return orders.join(' ');
      }
    )js");
    // The stand-ins start with the stacking orders the markup gives them.
    for (int i = 0; i < 3; ++i) {
      const std::string z = std::to_string(3 - i);
      engine.eval("elements['p1panel" + std::to_string(i) + "'] = {style: {zIndex: " + z +
                  "}}; elements['p1tab" + std::to_string(i) + "'] = {style: {zIndex: " + z + "}};");
    }
  }
  testing::ScriptEngine engine;
};

TEST_F(SelectTab, BringsTheChosenTabToTheFrontAndTheOthersBehind) {
  EXPECT_EQ(engine.eval("order()"), "3/3 2/2 1/1");
  EXPECT_EQ(engine.eval("selectTab(1); order()"), "0/0 1/1 0/0");
  EXPECT_EQ(engine.eval("selectTab(2); order()"), "0/0 0/0 1/1");
  EXPECT_EQ(engine.eval("selectTab(0); order()"), "1/1 0/0 0/0");
  EXPECT_EQ(engine.eval("selectTab(7); order()"), "0/0 0/0 0/0") << "no such tab: all behind";
}

TEST(SelectTabOfAnEmptyStrip, DoesNothing) {
  Tabs tabs;
  tabs.LetTabName("t");
  testing::ScriptEngine engine;
  engine.run_scripts_in(write(tabs));
  EXPECT_EQ(engine.eval("selectTab(0); 'untouched'"), "untouched")
      << "numDiv 0: no element is looked up";
}

}  // namespace
}  // namespace vantrel
