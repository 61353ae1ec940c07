// Page scripts run in-process against the registered library.
#include "host/page_host.h"

#include <gtest/gtest.h>

#include "platform/posix/runtime.h"
#include "tests/support/text_files.h"

namespace vantrel::host {
namespace {

class PageHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_EQ(posix::register_server(VANTREL_LIBRARY_PATH, &error), posix::result::kOk) << error;
  }
  PageResult run(std::string_view source) { return run_page(source, "page.js"); }
};

constexpr std::string_view kStateField =
    "<INPUT TYPE=\"text\" NAME='State' VALUE='' "
    "ONKEYUP='autoComplete(this,this.form.StateList, true, true)'>";

TEST_F(PageHost, TwoAutoCompleteObjectsThreeCalls) {
  const PageResult result = run(R"js(
    var first = Server.CreateObject("Vantrel.AutoComplete");
    var second = Server.CreateObject("vantrel.autocomplete");
    Response.Write(first.EmbedAutoComplete('State', 'StateList', true, true));
    Response.Write(first.EmbedAutoComplete('State', 'StateList', true, true));
    Response.Write(second.embedautocomplete('State', 'StateList', true, true));
  )js");
  const std::string script = testing::golden("autocomplete_script.txt");
  EXPECT_EQ(result.page, script + std::string(kStateField) + std::string(kStateField) + script +
                             std::string(kStateField));
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.exit_status, kPageWritten);
}

TEST_F(PageHost, ResponseWriteConvertsByTheAutomationRules) {
  const PageResult result = run(R"js(
    Response.Write(null); Response.Write(undefined); Response.Write(5); Response.Write(2.5);
    Response.Write(-3); Response.Write(true); Response.Write(" \r\n");
    Response.Write(new Date(2003, 1, 14, 10, 30, 0)); Response.Write("|\u00e9\uD83D\uDE00");
  )js");
  EXPECT_EQ(result.page, "52.5-3True \r\n2/14/2003 10:30:00 AM|\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(result.exit_status, kPageWritten);
}

TEST_F(PageHost, AutomationErrorsAreScriptErrorsWithNumberSourceAndDescription) {
  const PageResult result = run(R"js(
    var ac = Server.CreateObject("Vantrel.AutoComplete");
    function attempt(f) {
      try { f(); return "no error"; }
      catch (e) { return [e.number, e.source, e.description, e.message === e.description,
                          e instanceof Error].join("|"); }
    }
    Response.Write(attempt(function () { ac.EmbedAutoComplete('a'); }) + "\n");
    Response.Write(attempt(function () { ac.Missing = 1; }) + "\n");
    Response.Write(attempt(function () { return ac.Missing; }) + "\n");
    Response.Write(attempt(function () { ac.EmbedAutoComplete = 1; }) + "\n");
    Response.Write(attempt(function () { ac.EmbedAutoComplete([1], 'b', true, true); }) + "\n");
    Response.Write(attempt(function () { ac.EmbedAutoComplete(null, 'b', true, true); }) + "\n");
    Response.Write(attempt(function () { ac.EmbedAutoComplete('a', 'b', 'maybe', true); }) + "\n");
    Response.Write(attempt(function () { Server.CreateObject("Vantrel.Nope"); }) + "\n");
    Response.Write(attempt(function () { Response.Write({}); }) + "\n");
    var tag = ac.EmbedAutoComplete(5, 2.5, 1, 0);
    Response.Write(tag.slice(tag.indexOf("<INPUT")));
  )js");
  EXPECT_EQ(result.page,
            "450|Vantrel.AutoComplete|Wrong number of arguments or invalid property "
            "assignment|true|true\n"
            "438|Vantrel.AutoComplete|Object doesn't support this property or method|true|true\n"
            "438|Vantrel.AutoComplete|Object doesn't support this property or method|true|true\n"
            "438|Vantrel.AutoComplete|Object doesn't support this property or method|true|true\n"
            "13|Vantrel.AutoComplete|Type mismatch|true|true\n"
            "94|Vantrel.AutoComplete|Invalid use of Null|true|true\n"
            "13|Vantrel.AutoComplete|Type mismatch|true|true\n"
            "429|Server.CreateObject|ActiveX component can't create object 'Vantrel.Nope' (no "
            "class is registered as 'Vantrel.Nope')|true|true\n"
            "13|Response.Write|Type mismatch|true|true\n"
            "<INPUT TYPE=\"text\" NAME='5' VALUE='' ONKEYUP='autoComplete(this,this.form.2.5, "
            "true, false)'>");
  EXPECT_EQ(result.exit_status, kPageWritten);
}

TEST_F(PageHost, AnUncaughtAutomationErrorKeepsThePageAndReportsIt) {
  const PageResult result = run(R"js(
    Response.Write("before\r\n");
    Server.CreateObject("Vantrel.AutoComplete").EmbedAutoComplete();
    Response.Write("after");
  )js");
  EXPECT_EQ(result.page, "before\r\n");
  EXPECT_EQ(result.diagnostics,
            "Vantrel.AutoComplete: error 450: Wrong number of arguments or invalid property "
            "assignment\n");
  EXPECT_EQ(result.exit_status, kPageFailed);
}

TEST_F(PageHost, ScriptErrorsNameFileAndLine) {
  const PageResult syntax = run("Response.Write('x');\nvar = 1;\n");
  EXPECT_EQ(syntax.page, "");
  EXPECT_TRUE(syntax.diagnostics.starts_with("page.js:2: SyntaxError: ")) << syntax.diagnostics;
  EXPECT_EQ(syntax.exit_status, kPageNotCompiled);

  const PageResult runtime = run("Response.Write('x');\n\nmissing();\n");
  EXPECT_EQ(runtime.page, "x");
  EXPECT_EQ(runtime.diagnostics, "page.js:3: ReferenceError: identifier 'missing' undefined\n");
  EXPECT_EQ(runtime.exit_status, kPageFailed);

  const PageResult thrown = run("throw 'plain';");
  EXPECT_EQ(thrown.diagnostics, "page.js: Error: plain\n");
  const PageResult rethrown = run(R"js(
    try { Server.CreateObject("Vantrel.AutoComplete").Nope(); } catch (e) { throw e; }
  )js");
  EXPECT_EQ(rethrown.diagnostics,
            "Vantrel.AutoComplete: error 438: Object doesn't support this property or method\n");
  const PageResult odd = run("throw { get name() { throw 1; } };");
  EXPECT_EQ(odd.diagnostics, "page.js: Error: the page threw a value that cannot be described\n");
  EXPECT_EQ(odd.exit_status, kPageFailed);
}

// Every run after the first loads the page compiled once; it must behave as
// a fresh compile: a fresh environment, its own text, its own name and lines.
TEST_F(PageHost, CompiledPagesRunFreshAndFollowTheirText) {
  const std::string_view counting =
      "var n = (typeof n === 'undefined' ? 0 : n) + 1;\n"
      "Array.prototype.seen = (Array.prototype.seen || 0) + 1;\n"
      "Response.Write(n + ',' + [].seen + ',' + typeof globalLeft); globalLeft = 1;\n";
  const std::string_view failing = "Response.Write('x');\n\nmissing();\n";
  const struct {
    std::string_view source;
    std::string_view name;
    std::string_view page;
    std::string_view diagnostics;
  } kRuns[] = {
      {counting, "count.js", "1,1,undefined", ""},
      {counting, "count.js", "1,1,undefined", ""},
      {"Response.Write('a');", "same.js", "a", ""},
      {"Response.Write('b');", "same.js", "b", ""},
      {"Response.Write('a');", "same.js", "a", ""},
      {failing, "page.js", "x", "page.js:3: ReferenceError: identifier 'missing' undefined\n"},
      {failing, "page.js", "x", "page.js:3: ReferenceError: identifier 'missing' undefined\n"},
      {failing, "other.js", "x", "other.js:3: ReferenceError: identifier 'missing' undefined\n"},
      {"\n\nthrow new Error('boom');", "other.js", "", "other.js:3: Error: boom\n"},
  };
  for (const auto& expected : kRuns) {
    const PageResult result = run_page(expected.source, expected.name);
    EXPECT_EQ(result.page, expected.page) << expected.name;
    EXPECT_EQ(result.diagnostics, expected.diagnostics) << expected.name;
  }
}

TEST_F(PageHost, ValuesCrossBothWays) {
  // A member whose result is a value the page reads back: methods are
  // functions, unknown names raise, symbols and other keys stay inert.
  const PageResult result = run(R"js(
    var ac = Server.CreateObject("Vantrel.AutoComplete");
    Response.Write(typeof ac.EmbedAutoComplete);
    Response.Write(typeof ac.EMBEDAUTOCOMPLETE);
    Response.Write(ac[Symbol.iterator] === undefined);
    var f = ac.EmbedAutoComplete;
    ac = null;
    Response.Write(f('a', 'b', false, false).slice(-18));
  )js");
  EXPECT_EQ(result.page, "functionfunctionTrueb, false, false)'>");
  EXPECT_EQ(result.exit_status, kPageWritten) << result.diagnostics;
}

TEST_F(PageHost, PopupMenuPropertiesCanBeWrittenButNotRead) {
  constexpr std::string_view page = R"js(
    var menu = Server.CreateObject("Vantrel.PopupMenu");
    function attempt(f) {
      try { f(); return "no error"; } catch (e) { return e.number + "|" + e.source + "|" + e.description; }
    }
    var names = ["BorderColor", "Width", "BGColor", "OnMouseOver", "OnMouseOut"];
    for (var i = 0; i < names.length; i++) {
      menu[names[i]] = "1";
      Response.Write(names[i] + ": " + attempt(function () { return menu[names[i]]; }) + "\n");
    }
    menu.Width = -32759;
    Response.Write(attempt(function () { menu.AddHorizontalRule("p.gif"); }) + "\n");
    menu.Width = 40000;
  )js";
  const PageResult result = run(page);
  EXPECT_EQ(result.page,
            "BorderColor: 438|Vantrel.PopupMenu|Object doesn't support this property or method\n"
            "Width: 438|Vantrel.PopupMenu|Object doesn't support this property or method\n"
            "BGColor: 438|Vantrel.PopupMenu|Object doesn't support this property or method\n"
            "OnMouseOver: 438|Vantrel.PopupMenu|Object doesn't support this property or method\n"
            "OnMouseOut: 438|Vantrel.PopupMenu|Object doesn't support this property or method\n"
            "6|Vantrel.PopupMenu|Overflow\n");
  EXPECT_EQ(result.diagnostics, "Vantrel.PopupMenu: error 6: Overflow\n");
  EXPECT_EQ(result.exit_status, kPageFailed);
}

TEST_F(PageHost, TabsErrorsReachThePage) {
  const PageResult result = run(R"js(
    var tabs = Server.CreateObject("Vantrel.Tabs");
    function attempt(f) {
      try { f(); return "no error"; } catch (e) { return [e.number, e.source, e.description].join("|"); }
    }
    Response.Write(attempt(function () { tabs.WriteTab("c", "u"); }) + "\n");
    Response.Write(attempt(function () { return tabs.IsVisible; }) + "\n");
    tabs.LayerColor = "#e0e0e0";
    Response.Write(attempt(function () { tabs.MovePreviousLayerColor(); }) + "\n");
    tabs.TabName = "One"; tabs.TabWidth = 1000; tabs.IsVisible = 0;
    for (var i = 0; i < 33; i++) tabs.WriteTab("c", "u");
    Response.Write(attempt(function () { tabs.WriteTab("c", "u"); }) + "\n");
    Response.Write(tabs.LayerColor + " " + tabs.TabName);
  )js");
  EXPECT_EQ(result.page,
            "1|OlvinTabs.TABS|TabName property is empty.\n"
            "438|Vantrel.Tabs|Object doesn't support this property or method\n"
            "13|Vantrel.Tabs|Type mismatch\n"
            "6|Vantrel.Tabs|Overflow\n"
            "#e0e0e0 One");
  EXPECT_EQ(result.exit_status, kPageWritten);
}

TEST_F(PageHost, PlusJoinsTextAndNumbersAsScriptsExpect) {
  // The engine's `+` on text is the host's own: short results on the stack,
  // whole numbers from 0 to 2^32 - 1 written in place, the rest the stock
  // way. Each case is one `+` of two values held in variables (no constant
  // folding); the lengths cross the 256-byte line.
  const PageResult result = run(R"js(
    function join(a, b) { return a + b; }
    var long = new Array(256).join("y");  // 255 bytes
    var pairs = [["a", 0], ["a", -0], [0, "b"], ["a", 4294967295], ["a", 4294967296], ["a", -1],
                 ["a", 1.5], ["a", NaN], ["a", 1e21], [0.1, "a"], [7, "x"], ["", ""], [null, "n"],
                 ["u", undefined], [true, "t"], [{toString: function () { return "o"; }}, 5],
                 [5, {valueOf: function () { return 6; }}], [new String("s"), 1], ["\u00e9", 3],
                 ["\uD83D", "\uDE00"]];
    var parts = [];
    for (var i = 0; i < pairs.length; i++) parts.push(join(pairs[i][0], pairs[i][1]));
    parts.push(join(long, "z").length, join("z", join(long, "z")).length,
               join(long, long).slice(253, 257), 1 + 2 + "3");
    var grown = "";
    for (var n = 0; n < 300; n++) grown += n % 10;
    parts.push(grown.length, grown.slice(-12));
    try { join("a", Symbol("s")); } catch (e) { parts.push(e.name); }
    Response.Write(parts.join("|"));
  )js");
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.page,
            "a0|a0|0b|a4294967295|a4294967296|a-1|a1.5|aNaN|a1e+21|0.1a|7x||nulln|uundefined|"
            "truet|o5|11|s1|\xC3\xA9"
            "3|\xF0\x9F\x98\x80|256|257|yyyy|33|300|890123456789|TypeError");
}

TEST_F(PageHost, ALeftOutOptionalArgumentIsAnEmptyOne) {
  const PageResult result = run(R"js(
    var tree = Server.CreateObject("Vantrel.Tree");
    tree.Initialize();
    var omitted = tree.WriteNode("a", "b", "c");
    Response.Write([omitted === tree.WriteNode("a", "b", "c", ""),
                    omitted === tree.writenode("a", "b", "c", undefined),
                    omitted.indexOf("<img") == -1,
                    tree.WriteNode("a", "b", "c", "i.gif").indexOf(' src="i.gif"') > 0].join());
    Response.Write("|" + omitted);
  )js");
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.page,
            "true,true,true,true|<table border=\"0\" width=\"1\" cellpadding=\"0\" "
            "cellspacing=\"1\"><tr><td align=\"center\" nowrap colspan=\"1\" width=20></td><td "
            "nowrap colspan=\"1\" ID=\"node1\"><a target=\"c\" href=\"b\"><font "
            "class=>a</font></a></td></tr></table>\r\n");
}

}  // namespace
}  // namespace vantrel::host
