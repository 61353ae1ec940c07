#include "components/popupmenu/popupmenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"
#include "tests/support/script_engine.h"
#include "tests/support/text_files.h"

namespace vantrel {

// The rows gathered so far, which no member returns.
struct PopupMenuFields {
  static const std::string& MenuRows(const PopupMenu& menu) { return menu.MenuRows; }
  static std::int16_t RowCount(const PopupMenu& menu) { return menu.RowCount; }
};

namespace {

using testing::crlf_lines;
using testing::golden;
using Lines = std::vector<std::string>;

constexpr std::string_view kDefaultOver =
    "this.style.color='white';this.style.background='navy';this.style.border='1pt solid #000000'";
constexpr std::string_view kDefaultOut =
    "this.style.color='black';this.style.background='#e4e4e4';this.style.border='1pt solid "
    "#e4e4e4'";

// The error number a call raises, 0 when it raises none.
int error_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

// Splits an embedded menu into its table tag (line 2), its row lines, the
// show call (line 13 of the wrapper) and checks the fixed lines around them.
struct Embedded {
  std::string table;
  Lines rows;
  std::string show;
};

Embedded split(const std::string& embedded) {
  const Lines lines = crlf_lines(embedded);
  Embedded parts;
  if (lines.size() < 16) {
    ADD_FAILURE() << "too few lines: " << lines.size();
    return parts;
  }
  const std::size_t rows = lines.size() - 16;
  parts.table = lines[1];
  parts.rows.assign(lines.begin() + 2, lines.begin() + 2 + static_cast<std::ptrdiff_t>(rows));
  parts.show = lines[12 + rows];
  EXPECT_EQ(lines[2 + rows], "") << "an empty line follows the rows";
  EXPECT_EQ(lines[3 + rows], "</table>");
  return parts;
}

std::string table_tag(std::string_view border, std::string_view bg, int width, int height) {
  return "<table STYLE=\"border:1pt solid #" + std::string(border) + "\" BGCOLOR=\"#" +
         std::string(bg) + "\" width=" + std::to_string(width) + " height=\"" +
         std::to_string(height) + "\" cellpadding=0 cellspacing=1>";
}

std::string show_call(int width, int height) {
  return "oPopup.show(lefter, topper, " + std::to_string(width) + ", " + std::to_string(height) +
         ", document.body);";
}

TEST(PopupMenu, ANewMenuEmbedsAnEmptyTableOfHeightZero) {
  const std::string expected = golden("popupmenu_empty.txt");
  const Lines lines = crlf_lines(expected);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[12], "oPopup.show(lefter, topper, 150, 0, document.body);");

  PopupMenu menu;
  EXPECT_EQ(menu.EmbedPopupMenu(), expected);
  EXPECT_EQ(menu.EmbedPopupMenu(), expected) << "embedding changes nothing";
}

TEST(PopupMenu, ATitleAnItemAndARuleWithTheDefaults) {
  PopupMenu menu;
  EXPECT_EQ(menu.EmbedPopupMenu(), golden("popupmenu_empty.txt"));
  menu.AddMenuTitle("File");
  menu.AddMenuItem("Open", "openFile()", "open.gif");
  menu.AddHorizontalRule("pixel.gif");
  const std::string expected = golden("popupmenu_three_rows.txt");
  EXPECT_EQ(menu.EmbedPopupMenu(), expected) << "rows added since the last call are embedded";
  EXPECT_EQ(menu.EmbedPopupMenu(), expected);

  PopupMenu other;
  EXPECT_EQ(other.EmbedPopupMenu(), golden("popupmenu_empty.txt")) << "objects share nothing";
}

TEST(PopupMenu, EachRowKindAloneAddsItsLinesAnd18Pixels) {
  struct Case {
    const char* kind;
    std::function<void(PopupMenu&)> add;
    Lines rows;
  };
  const Case cases[] = {
      {"title",
       [](PopupMenu& m) { m.AddMenuTitle("Quick <b>links</b>"); },
       {"<tr>", "<td nowrap", "Align = center", "bgcolor = \"e4e4e4\"",
        "Style = \"border:1pt solid #e4e4e4;font-size:8pt\"", ">Quick <b>links</b></td>", "</tr>"}},
      {"item with an empty image and quotes in its texts",
       [](PopupMenu& m) { m.AddMenuItem("Say \"hi\"", "alert('hi')", ""); },
       {"<tr>", "<td nowrap", "Align = Left", "bgcolor = \"e4e4e4\"", "OnClick = \"alert('hi')\"",
        "Style = \"cursor:hand;border:1pt solid #e4e4e4;font-size:8pt\"",
        "onmouseover = \"" + std::string(kDefaultOver) + "\"",
        "onmouseout = \"" + std::string(kDefaultOut) + "\"",
        ">&nbsp;<img src=\"\" border=0 width=12 height=12 align=\"absmiddle\">&nbsp;Say "
        "\"hi\"</td>",
        "</tr>"}},
      {"rule",
       [](PopupMenu& m) { m.AddHorizontalRule(""); },
       {"<tr>", "<td nowrap", "Align = center", "bgcolor = \"e4e4e4\"",
        "Style = \"border:1pt solid #e4e4e4;font-size:8pt\"",
        "><img border=0 height=1 width=\"140\" src=\"\"></td>", "</tr>"}},
  };
  for (const Case& c : cases) {
    PopupMenu menu;
    c.add(menu);
    const Embedded parts = split(menu.EmbedPopupMenu());
    EXPECT_EQ(parts.rows, c.rows) << c.kind;
    EXPECT_EQ(parts.table, table_tag("000000", "e4e4e4", 150, 18)) << c.kind;
    EXPECT_EQ(parts.show, show_call(150, 18)) << c.kind;
  }
}

TEST(PopupMenu, ColoursApplyToLaterRowsWhileTheDefaultHandlersKeepTheCreationColours) {
  PopupMenu menu;
  menu.AddMenuTitle("Before");
  menu.LetBGColor("ffffcc");
  menu.LetBorderColor("ff0000");
  menu.AddMenuItem("After", "go()", "go.gif");
  menu.LetOnMouseOver("over()");
  menu.LetOnMouseOut("out()");
  menu.AddMenuItem("Own handlers", "", "");

  const Embedded parts = split(menu.EmbedPopupMenu());
  EXPECT_EQ(parts.table, table_tag("ff0000", "ffffcc", 150, 54));
  ASSERT_EQ(parts.rows.size(), 27u);
  EXPECT_EQ(parts.rows[3], "bgcolor = \"e4e4e4\"") << "a row keeps the colour of its time";
  EXPECT_EQ(parts.rows[4], "Style = \"border:1pt solid #e4e4e4;font-size:8pt\"");
  EXPECT_EQ(parts.rows[10], "bgcolor = \"ffffcc\"");
  EXPECT_EQ(parts.rows[12], "Style = \"cursor:hand;border:1pt solid #ffffcc;font-size:8pt\"");
  EXPECT_EQ(parts.rows[13], "onmouseover = \"" + std::string(kDefaultOver) + "\"");
  EXPECT_EQ(parts.rows[14], "onmouseout = \"" + std::string(kDefaultOut) + "\"")
      << "the default handler still restores #e4e4e4";
  EXPECT_EQ(parts.rows[23], "onmouseover = \"over()\"");
  EXPECT_EQ(parts.rows[24], "onmouseout = \"out()\"");
}

TEST(PopupMenu, WidthNarrowsLaterRulesAndSizesTheTableAndPopupWhenEmbedded) {
  PopupMenu menu;
  menu.LetWidth(200);
  menu.AddHorizontalRule("pixel.gif");
  menu.LetWidth(300);
  const Embedded parts = split(menu.EmbedPopupMenu());
  EXPECT_EQ(parts.rows[5], "><img border=0 height=1 width=\"190\" src=\"pixel.gif\"></td>");
  EXPECT_EQ(parts.table, table_tag("000000", "e4e4e4", 300, 18));
  EXPECT_EQ(parts.show, show_call(300, 18));

  // Any Integer is accepted; a rule's width is Width less 10 down to -32768.
  for (const std::int16_t width : {std::int16_t{0}, std::int16_t{-32758}, std::int16_t{32767}}) {
    PopupMenu m;
    m.LetWidth(width);
    m.AddHorizontalRule("p");
    const Embedded p = split(m.EmbedPopupMenu());
    EXPECT_EQ(p.rows[5], "><img border=0 height=1 width=\"" + std::to_string(width - 10) +
                             "\" src=\"p\"></td>");
    EXPECT_EQ(p.table, table_tag("000000", "e4e4e4", width, 18));
  }
}

TEST(PopupMenu, ARuleThatCannotBeNarrowedFailsAndChangesNothing) {
  PopupMenu menu;
  menu.AddMenuTitle("Kept");
  const std::string before = menu.EmbedPopupMenu();
  for (const std::int16_t width : {std::int16_t{-32759}, std::int16_t{-32768}}) {
    menu.LetWidth(width);
    EXPECT_EQ(error_of([&] { menu.AddHorizontalRule("pixel.gif"); }), 6) << width;
    EXPECT_EQ(PopupMenuFields::RowCount(menu), 1);
  }
  menu.LetWidth(150);
  EXPECT_EQ(menu.EmbedPopupMenu(), before);
}

// Rows of all three kinds, in turn.
void add_rows(PopupMenu& menu, int count) {
  for (int i = 0; i < count; ++i) {
    switch (i % 3) {
      case 0:
        menu.AddMenuTitle("t");
        break;
      case 1:
        menu.AddMenuItem("i", "", "");
        break;
      default:
        menu.AddHorizontalRule("");
    }
  }
}

TEST(PopupMenu, MoreThan1820RowsCannotBeEmbeddedButStay) {
  PopupMenu menu;
  add_rows(menu, 1820);
  const Embedded parts = split(menu.EmbedPopupMenu());
  EXPECT_EQ(parts.table, table_tag("000000", "e4e4e4", 150, 32760));
  EXPECT_EQ(parts.show, show_call(150, 32760));

  menu.AddMenuTitle("one more");
  const std::string rows = PopupMenuFields::MenuRows(menu);
  EXPECT_EQ(error_of([&] { menu.EmbedPopupMenu(); }), 6);
  EXPECT_EQ(error_of([&] { menu.EmbedPopupMenu(); }), 6);
  EXPECT_EQ(PopupMenuFields::RowCount(menu), 1821);
  EXPECT_EQ(PopupMenuFields::MenuRows(menu), rows);
  EXPECT_TRUE(rows.ends_with(">one more</td>\r\n</tr>\r\n"));
}

TEST(PopupMenu, NoRowIsAddedPast32767) {
  PopupMenu menu;
  add_rows(menu, 32767);
  ASSERT_EQ(PopupMenuFields::RowCount(menu), 32767);
  const std::size_t size = PopupMenuFields::MenuRows(menu).size();
  EXPECT_EQ(error_of([&] { menu.AddMenuTitle("t"); }), 6);
  EXPECT_EQ(error_of([&] { menu.AddMenuItem("i", "", ""); }), 6);
  EXPECT_EQ(error_of([&] { menu.AddHorizontalRule(""); }), 6);
  EXPECT_EQ(PopupMenuFields::RowCount(menu), 32767);
  EXPECT_EQ(PopupMenuFields::MenuRows(menu).size(), size);
}

// Through late binding, as a page calls the object.
TEST(PopupMenu, ThePropertiesCanBeWrittenButNotRead) {
  const ClassDescriptor& cls = *vantrel_library().find_class("Vantrel.PopupMenu");
  PopupMenu menu;
  for (const char* name : {"BorderColor", "Width", "BGColor", "OnMouseOver", "OnMouseOut"}) {
    try {
      invoke(cls, &menu, name, MemberKind::PropertyGet, {});
      ADD_FAILURE() << name << " was read";
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.number(), 438) << name;
      EXPECT_EQ(e.source(), "Vantrel.PopupMenu") << name;
    }
    Variant text(std::string_view("20"));
    Variant* args[] = {&text};
    invoke(cls, &menu, name, MemberKind::PropertyLet, args);
  }
  Variant pixel(std::string_view("p.gif"));
  Variant* args[] = {&pixel};
  invoke(cls, &menu, "AddHorizontalRule", MemberKind::Method, args);
  const Embedded parts =
      split(invoke(cls, &menu, "EmbedPopupMenu", MemberKind::Method, {}).string());
  EXPECT_EQ(parts.rows[5], "><img border=0 height=1 width=\"10\" src=\"p.gif\"></td>");
  EXPECT_EQ(parts.table, table_tag("20", "20", 20, 18));
}

// The emitted script, run against stand-ins for the browser's objects.
class PopupMenuScript : public ::testing::Test {
 protected:
  void load(PopupMenu& menu) {
    const std::string markup = menu.EmbedPopupMenu();
    const std::size_t begin = markup.find('>') + 1;
    const std::size_t end = markup.find("</DIV>");
    engine.eval(R"js(
      var shown = null;
      var document = { body: { id: "page" } };
      var event = { clientX: 100, clientY: 40 };
      var window = { createPopup: function () {
        return { document: { body: { innerHTML: "" } },
                 show: function (x, y, w, h, anchor) { shown = [x, y, w, h, anchor.id]; } };
      } };
      var oContextHTML = { innerHTML: "" };
    )js");
    engine.eval("oContextHTML.innerHTML = " + js_string(markup.substr(begin, end - begin)) + ";");
    engine.run_scripts_in(markup);
  }
  static std::string js_string(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
      if (c == '\r') {
        out += "\\r";
      } else if (c == '\n') {
        out += "\\n";
      } else {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
      }
    }
    return out + "\"";
  }
  testing::ScriptEngine engine;
};

TEST_F(PopupMenuScript, ARightClickShowsTheMenuBesideThePointerInsteadOfTheBrowsers) {
  PopupMenu menu;
  menu.LetWidth(200);
  add_rows(menu, 3);
  load(menu);
  EXPECT_EQ(engine.eval("shown"), "null");
  EXPECT_EQ(engine.eval("document.oncontextmenu()"), "false");
  EXPECT_EQ(engine.eval("shown"), "[110,50,200,54,\"page\"]");
  EXPECT_EQ(engine.eval("oPopup.document.body.innerHTML === oContextHTML.innerHTML"), "true");
  EXPECT_EQ(engine.eval("oContextHTML.innerHTML.indexOf('\\r\\n<table STYLE=')"), "0");
  EXPECT_EQ(engine.eval("event.clientX = 5; event.clientY = 0; document.oncontextmenu(); shown"),
            "[15,10,200,54,\"page\"]");
}

TEST_F(PopupMenuScript, TheDefaultHoverHandlersHighlightAndRestoreARow) {
  PopupMenu menu;
  menu.AddMenuItem("Open", "", "");
  load(menu);
  // The handler texts of the item row, as the browser takes them from its
  // onmouseover and onmouseout attributes.
  const Lines rows = split(menu.EmbedPopupMenu()).rows;
  ASSERT_EQ(rows.size(), 10u);
  const auto handler = [&](std::size_t line, std::string_view attribute) {
    EXPECT_TRUE(rows[line].starts_with(attribute)) << rows[line];
    const std::string text =
        rows[line].substr(attribute.size(), rows[line].size() - attribute.size() - 1);
    return engine.eval("var row = { style: {} }; (new Function(" + js_string(text) +
                       ")).call(row); row.style");
  };
  EXPECT_EQ(handler(6, "onmouseover = \""),
            R"({"color":"white","background":"navy","border":"1pt solid #000000"})");
  EXPECT_EQ(handler(7, "onmouseout = \""),
            R"({"color":"black","background":"#e4e4e4","border":"1pt solid #e4e4e4"})");
}

}  // namespace
}  // namespace vantrel
