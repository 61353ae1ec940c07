// The emitted calendar scripts, run in a JavaScript engine against stand-ins
// for the browser: the page as the global window, its first form, the popup
// object, the current event and a clock fixed by each test.
#include <gtest/gtest.h>

#include <string>

#include "components/calendar/calendar.h"
#include "tests/support/script_engine.h"

namespace vantrel {
namespace {

constexpr std::string_view kBrowser = R"js(
  var window = this;
  window.parent = window;

  // The browser's clock: new Date() is `now`; every other date is real.
  var RealDate = Date;
  var now = [2026, 11, 6];
  Date = function (y, m, d) {
    if (arguments.length === 0) return new RealDate(now[0], now[1], now[2], 9, 30, 0);
    return new RealDate(y, m, d);
  };
  function setToday(month, day, year) { now = [year, month - 1, day]; }

  var written = [];
  var document = {
    body: { id: "body" },
    forms: [ { StartDate: { value: "" } } ],
    write: function (html) { written.push(html); }
  };
  var event = { clientX: 100, clientY: 50 };
  var shown = null;
  function createPopup() {
    return {
      document: { body: { innerHTML: "" } },
      hidden: true,
      show: function (x, y, width, height, anchor) {
        shown = [x, y, width, height, anchor === document.body].join();
        this.hidden = false;
      },
      hide: function () { this.hidden = true; }
    };
  }
  var cal1 = { innerHTML: "" };
  var clicks = [];
  function cal1_OnClick(text) { clicks.push(text); }

  // The day cells of a grid in reading order, each as "m/d/yyyy colour",
  // checking that the day shown is the day of the cell's text.
  function cells(html) {
    var re = /<td STYLE="border:1pt solid #000000; cursor:hand"[^>]*'([0-9\/]+)'[^>]*><font color='([0-9A-F]{6})'>(\d+)<\/font><\/td>/g;
    var out = [], m;
    while ((m = re.exec(html)) !== null) {
      if (m[1].split("/")[1] !== m[3]) throw new Error("cell " + m[1] + " shows day " + m[3]);
      out.push(m[1] + " " + m[2]);
    }
    return out;
  }
  function row(html, n) { return cells(html).slice(7 * n, 7 * n + 7).join(", "); }
  // How many cells have each colour: "black grey red".
  function colours(html) {
    var all = cells(html), black = 0, grey = 0, red = 0;
    for (var i = 0; i < all.length; i++) {
      var c = all[i].split(" ")[1];
      if (c === "000000") black++; else if (c === "A1A1A1") grey++; else if (c === "FF0000") red++;
    }
    return [black, grey, red].join(" ");
  }
  function title(html) {
    var re = /<font color=white>([^<]*)<\/font>/g, out = [], m;
    while ((m = re.exec(html)) !== null) out.push(m[1]);
    return out.join(" ");
  }
  // The click handlers in order: the four arrows (month back and on, year
  // back and on), the 42 days, the Today row.
  function handlers(html) {
    var re = /onclick="([^"]*)"/g, out = [], m;
    while ((m = re.exec(html)) !== null) out.push(m[1]);
    return out;
  }
  function click(handler) { return (0, eval)("(function () { " + handler + " })()"); }
)js";

// Text as a JavaScript string literal in single quotes.
std::string js_string(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\\' || c == '\'') out.push_back('\\');
    out.push_back(c);
  }
  return out + "'";
}

class CalendarScript : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.eval(kBrowser);
    Calendar cal;
    Variant date(std::string_view("2/14/2003"));
    cal.LetActiveDate(date);
    Variant cal1(std::string_view("cal1"));
    Variant start(std::string_view("StartDate"));
    // The page writes the results in the order it obtained them.
    popup_markup = cal.DisplayPopup(start);
    engine.run_scripts_in(popup_markup + cal.DisplayEmbedded(cal1));
  }
  std::string eval(std::string_view code) { return engine.eval(code); }

  testing::ScriptEngine engine;
  std::string popup_markup;
};

TEST_F(CalendarScript, TheDivScriptWritesTheGridOfTheActiveMonth) {
  EXPECT_EQ(eval("written.length"), "1");
  EXPECT_EQ(eval("written[0] === buildCal(2, 2003, 'cal1')"), "true");
  EXPECT_EQ(eval("typeof today"), "object") << "the page global of the DIV block";
}

TEST_F(CalendarScript, FebruaryTwoThousandThree) {
  eval("var feb = buildCal(2, 2003, 'cal1');");
  EXPECT_EQ(eval("cells(feb).length"), "42");
  EXPECT_EQ(eval("row(feb, 0)"),
            "1/26/2003 A1A1A1, 1/27/2003 A1A1A1, 1/28/2003 A1A1A1, 1/29/2003 A1A1A1, "
            "1/30/2003 A1A1A1, 1/31/2003 A1A1A1, 2/1/2003 000000");
  EXPECT_EQ(eval("row(feb, 1)"),
            "2/2/2003 000000, 2/3/2003 000000, 2/4/2003 000000, 2/5/2003 000000, "
            "2/6/2003 000000, 2/7/2003 000000, 2/8/2003 000000");
  EXPECT_EQ(eval("row(feb, 4)"),
            "2/23/2003 000000, 2/24/2003 000000, 2/25/2003 000000, 2/26/2003 000000, "
            "2/27/2003 000000, 2/28/2003 000000, 3/1/2003 A1A1A1");
  EXPECT_EQ(eval("row(feb, 5)"),
            "3/2/2003 A1A1A1, 3/3/2003 A1A1A1, 3/4/2003 A1A1A1, 3/5/2003 A1A1A1, "
            "3/6/2003 A1A1A1, 3/7/2003 A1A1A1, 3/8/2003 A1A1A1");
  EXPECT_EQ(eval("title(feb)"), "Feb 2003 Today");
}

TEST_F(CalendarScript, MonthsOfEveryShapeHaveSixWeeks) {
  struct Case {
    const char* call;
    const char* title;
    const char* first_row;
    const char* colours;  // black, grey and red cells
  };
  const Case cases[] = {
      // Begins on a Sunday: no grey days before it, 12 after.
      {"buildCal(6, 2003, 'cal1')", "Jun 2003 Today",
       "6/1/2003 000000, 6/2/2003 000000, 6/3/2003 000000, 6/4/2003 000000, 6/5/2003 000000, "
       "6/6/2003 000000, 6/7/2003 000000",
       "30 12 0"},
      // A month that fits in four weeks still gets six.
      {"buildCal(2, 2015, 'cal1')", "Feb 2015 Today",
       "2/1/2015 000000, 2/2/2015 000000, 2/3/2015 000000, 2/4/2015 000000, 2/5/2015 000000, "
       "2/6/2015 000000, 2/7/2015 000000",
       "28 14 0"},
      {"buildCal(2, 2004, 'cal1')", "Feb 2004 Today",
       "2/1/2004 000000, 2/2/2004 000000, 2/3/2004 000000, 2/4/2004 000000, 2/5/2004 000000, "
       "2/6/2004 000000, 2/7/2004 000000",
       "29 13 0"},
      // Months outside 1 to 12 roll over into the neighbouring years.
      {"buildCal(0, 2003, 'cal1')", "Dec 2002 Today",
       "12/1/2002 000000, 12/2/2002 000000, 12/3/2002 000000, 12/4/2002 000000, "
       "12/5/2002 000000, 12/6/2002 000000, 12/7/2002 000000",
       "31 11 0"},
      {"buildCal(13, 2003, 'cal1')", "Jan 2004 Today",
       "12/28/2003 A1A1A1, 12/29/2003 A1A1A1, 12/30/2003 A1A1A1, 12/31/2003 A1A1A1, "
       "1/1/2004 000000, 1/2/2004 000000, 1/3/2004 000000",
       "31 11 0"},
      {"buildCal(-10, 2003, 'cal1')", "Feb 2002 Today",
       "1/27/2002 A1A1A1, 1/28/2002 A1A1A1, 1/29/2002 A1A1A1, 1/30/2002 A1A1A1, "
       "1/31/2002 A1A1A1, 2/1/2002 000000, 2/2/2002 000000",
       "28 14 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    eval(std::string("var grid = ") + c.call + ";");
    EXPECT_EQ(eval("cells(grid).length"), "42");
    EXPECT_EQ(eval("title(grid)"), c.title);
    EXPECT_EQ(eval("row(grid, 0)"), c.first_row);
    EXPECT_EQ(eval("colours(grid)"), c.colours);
  }
  EXPECT_EQ(eval("row(buildCal(6, 2003, 'cal1'), 5)"),
            "7/6/2003 A1A1A1, 7/7/2003 A1A1A1, 7/8/2003 A1A1A1, 7/9/2003 A1A1A1, "
            "7/10/2003 A1A1A1, 7/11/2003 A1A1A1, 7/12/2003 A1A1A1");
  EXPECT_EQ(eval("[getDaysInMonth(2, 2004), getDaysInMonth(2, 2003), getDaysInMonth(2, 1900), "
                 "getDaysInMonth(12, 2003), getDaysInMonth(0, 2003)].join()"),
            "29,28,28,31,31");
  EXPECT_EQ(eval("[getFirstDayInMonth(2, 2003), getFirstDayInMonth(6, 2003), "
                 "displayMonth(12, 2003), displayMonthNumber(12, 2003), displayYear(13, 2003), "
                 "displayMonthNumber(0, 2003), displayYear(0, 2003)].join()"),
            "6,0,Dec,12,2004,12,2002");
}

TEST_F(CalendarScript, TodayIsRedWhereverItStands) {
  const struct {
    const char* today;
    int cell;
    const char* text;
  } cases[] = {
      {"setToday(1, 31, 2003)", 5, "1/31/2003 FF0000"},   // among the grey days before
      {"setToday(2, 14, 2003)", 19, "2/14/2003 FF0000"},  // among the black days
      {"setToday(3, 5, 2003)", 38, "3/5/2003 FF0000"},    // among the grey days after
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.today);
    eval(std::string(c.today) + "; var grid = buildCal(2, 2003, 'cal1');");
    EXPECT_EQ(eval("cells(grid)[" + std::to_string(c.cell) + "]"), c.text);
    EXPECT_EQ(eval("colours(grid).split(' ')[2]"), "1");
    EXPECT_EQ(eval("cells(buildPopupCal(2, 2003, 'StartDate'))[" + std::to_string(c.cell) + "]"),
              c.text);
  }
  EXPECT_EQ(eval("setToday(2, 14, 2004); colours(buildCal(2, 2003, 'cal1'))"), "28 14 0")
      << "the same day of another year is not today";
}

TEST_F(CalendarScript, TheGridMarkupOfAnEmbeddedCalendar) {
  eval("var feb = buildCal(2, 2003, 'cal1');");
  for (const char* fragment : {
           "<td STYLE=\"border:1pt solid #000000; cursor:hand\" align=\"center\" width=\"20\" "
           "height=1 valign=\"top\" style=\"font-size:8pt\"  "
           "onclick=\"cal1_OnClick('2/14/2003');\" ><font color='000000'>14</font></td>",
           "<td nowrap style=\"cursor:hand\" width=1 align=\"right\" height=1 valign=\"top\" "
           "style=\"font-size:10pt\" onclick=\"cal1.innerHTML = buildCal(1, 2003,'cal1');\">"
           "<<&nbsp;</td>",
           "<td align=\"center\" BGCOLOR=\"#a1a1a1\" colspan=7 STYLE=\"border:1pt solid #000000; "
           "cursor:hand; font-size:8pt\"onclick=\"cal1.innerHTML = buildCal(12, 2026,'cal1'); "
           "cal1_OnClick('12/6/2026');\">[ <font color=white>Today</font> ]</td>",
       }) {
    EXPECT_NE(eval("feb").find(fragment), std::string::npos) << fragment;
  }
  EXPECT_TRUE(eval("feb").starts_with(
      "<table BGCOLOR=\"#e4e4e4\" width=\"140\" height=\"142\" STYLE=\"border:1pt solid "
      "#000000\" cellpadding=0 cellspacing=1><tr><td colspan=7 width=\"100%\" height=1 "
      "valign=\"top\"><table BGCOLOR=\"#a1a1a1\""));
  EXPECT_TRUE(eval("feb").ends_with("</td></tr></table>"));
}

TEST_F(CalendarScript, EmbeddedArrowsRebuildInPlaceAndDaysCallThePage) {
  // The arrows change only the month argument; the browser's dates roll it
  // over into the neighbouring years.
  const struct {
    const char* grid;
    int arrow;
    const char* handler;
    const char* shows;
  } cases[] = {
      {"buildCal(2, 2003, 'cal1')", 0, "cal1.innerHTML = buildCal(1, 2003,'cal1');",
       "Jan 2003 Today"},
      {"buildCal(2, 2003, 'cal1')", 1, "cal1.innerHTML = buildCal(3, 2003,'cal1');",
       "Mar 2003 Today"},
      {"buildCal(1, 2003, 'cal1')", 2, "cal1.innerHTML = buildCal(-11, 2003,'cal1');",
       "Jan 2002 Today"},
      {"buildCal(12, 2003, 'cal1')", 1, "cal1.innerHTML = buildCal(13, 2003,'cal1');",
       "Jan 2004 Today"},
      {"buildCal(2, 2003, 'cal1')", 3, "cal1.innerHTML = buildCal(14, 2003,'cal1');",
       "Feb 2004 Today"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.handler);
    eval(std::string("var arrow = handlers(") + c.grid + ")[" + std::to_string(c.arrow) + "];");
    EXPECT_EQ(eval("arrow"), c.handler);
    EXPECT_EQ(eval("cal1.innerHTML = ''; click(arrow); title(cal1.innerHTML)"), c.shows);
    EXPECT_EQ(eval("clicks.length"), "0");
  }
  EXPECT_EQ(eval("row(buildCal(13, 2003, 'cal1'), 0) === row(buildCal(1, 2004, 'cal1'), 0)"),
            "true");

  eval("var h = handlers(buildCal(2, 2003, 'cal1'));");
  EXPECT_EQ(eval("h.length"), "47");
  EXPECT_EQ(eval("cal1.innerHTML = ''; click(h[4 + 19]); click(h[4 + 41]); clicks.join()"),
            "2/14/2003,3/8/2003");
  EXPECT_EQ(eval("cal1.innerHTML"), "") << "a day does not rebuild the grid";

  EXPECT_EQ(eval("setToday(7, 4, 2010); clicks = []; click(handlers(buildCal(2, 2003, 'cal1'))"
                 "[46]); [clicks.join(), cal1.innerHTML === buildCal(7, 2010, 'cal1')].join()"),
            "7/4/2010,true")
      << "Today shows today's month and calls the page";
}

TEST_F(CalendarScript, ThePopupOpensBesideTheMouseAndWritesTheChosenDayIntoTheField) {
  const std::size_t img = popup_markup.rfind("<img");
  ASSERT_NE(img, std::string::npos);
  eval("var image = handlers(" + js_string(popup_markup.substr(img)) + ")[0];");
  EXPECT_EQ(eval("image"), "calContextMenu(buildPopupCal(2, 2003, 'StartDate')); return false;");
  EXPECT_EQ(eval("click(image)"), "false");
  EXPECT_EQ(eval("shown"), "110,60,140,155,true");
  EXPECT_EQ(eval("oCalPopUp.hidden"), "false");
  EXPECT_EQ(eval("oCalPopUp.document.body.innerHTML === buildPopupCal(2, 2003, 'StartDate')"),
            "true");

  eval("var h = handlers(oCalPopUp.document.body.innerHTML);");
  EXPECT_EQ(eval("h.length"), "47");
  EXPECT_EQ(eval("click(h[1]); oCalPopUp.document.body.innerHTML === "
                 "buildPopupCal(3, 2003, 'StartDate')"),
            "true")
      << "an arrow rebuilds the popup's content";
  EXPECT_EQ(eval("oCalPopUp.hidden"), "false");

  EXPECT_EQ(eval("h[4 + 19]"),
            "window.parent.document.forms[0].StartDate.value='2/14/2003'; "
            "window.parent.oCalPopUp.hide();");
  EXPECT_NE(eval("buildPopupCal(2, 2003, 'StartDate')")
                .find("<td STYLE=\"border:1pt solid #000000; cursor:hand\" align=\"center\" "
                      "width=\"20\" height=1 valign=\"top\" style=\"font-size:8pt\"  "
                      "onclick=\"window.parent.document.forms[0].StartDate.value='2/14/2003'; "
                      "window.parent.oCalPopUp.hide();\" ><font color='000000'>14</font></td>"),
            std::string::npos);
  EXPECT_EQ(eval("click(h[4 + 19]); [document.forms[0].StartDate.value, oCalPopUp.hidden].join()"),
            "2/14/2003,true");

  EXPECT_NE(eval("oCalPopUp.document.body.innerHTML")
                .find("font-size:8pt\" onclick=\"window.parent.document.forms[0].StartDate.value="
                      "'12/6/2026'; window.parent.oCalPopUp.hide();\" >[ <font color=white>Today"
                      "</font> ]</td>"),
            std::string::npos);
  EXPECT_EQ(eval("oCalPopUp.hidden = false; click(h[46]); "
                 "[document.forms[0].StartDate.value, oCalPopUp.hidden].join()"),
            "12/6/2026,true")
      << "Today writes today's date and closes";
}

}  // namespace
}  // namespace vantrel
