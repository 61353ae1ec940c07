#include "components/calendar/calendar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/calendar/calendar_script.h"
#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/clock.h"
#include "frame/dates.h"
#include "frame/dispatch.h"
#include "tests/support/text_files.h"

namespace vantrel {
namespace {

using testing::crlf_join;
using testing::crlf_lines;
using testing::golden;

Variant text(std::string_view value) { return Variant(value); }

std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  for (std::size_t at; (at = text.find(from)) != std::string_view::npos;) {
    out.append(text.substr(0, at)).append(to);
    text.remove_prefix(at + from.size());
  }
  return out.append(text);
}

// The worked examples: cal1 and StartDate at 14 February 2003.
const std::string kCal1Div = crlf_join({
    "<DIV ID=\"cal1\">",
    "<Script language=\"JavaScript\">",
    "var today = new Date();",
    "document.write( buildCal(2, 2003, 'cal1') );",
    "</script>",
    "</DIV>",
});
constexpr std::string_view kStartDateField =
    "<input value=\"02/14/2003\" readonly type=\"text\" size=\"10\" name=\"StartDate\">&nbsp;"
    "<img style=\"cursor:hand\" onclick=\"calContextMenu(buildPopupCal(2, 2003, 'StartDate')); "
    "return false;\" border=\"0\" src=\"Calendar.gif\" WIDTH=\"16\" HEIGHT=\"15\">";

// Every calendar here is created on 6 December 2026.
class CalendarTest : public ::testing::Test {
 protected:
  static CivilDate fixed_today() { return {2026, 12, 6}; }

  // A calendar set to 14 February 2003.
  static Calendar at_14_feb_2003() {
    Calendar cal;
    Variant date = text("2/14/2003");
    cal.LetActiveDate(date);
    return cal;
  }

  // The month, year and name the embedded calendar opens at, as the DIV
  // block writes them ("2, 2003, 'x'").
  static std::string opens_at(Calendar& cal) {
    Variant name = text("x");
    const std::string out = cal.DisplayEmbedded(name);
    const std::size_t start = out.rfind("buildCal(") + 9;
    return out.substr(start, out.rfind(") );") - start);
  }

  ClockOverride clock{&fixed_today};
  const std::string date_script = golden("calendar_date_script.txt");
  const std::string embedded_script = golden("calendar_embedded_script.txt");
  const std::string popup_script = golden("calendar_popup_script.txt");
};

TEST_F(CalendarTest, ScriptBlocksAreTheExpectedTexts) {
  EXPECT_EQ(kDateScript, date_script);
  EXPECT_EQ(kEmbeddedScript, embedded_script);
  EXPECT_EQ(kPopupScript, popup_script);

  const auto date = crlf_lines(kDateScript);
  const auto embedded = crlf_lines(kEmbeddedScript);
  const auto popup = crlf_lines(kPopupScript);
  ASSERT_EQ(date.size(), 37u);
  ASSERT_EQ(embedded.size(), 99u);
  ASSERT_EQ(popup.size(), 101u);

  // The lines pages know by their irregularities (numbered from 1).
  const struct {
    const std::vector<std::string>& block;
    std::size_t line;
    std::string_view text;
  } lines[] = {
      {date, 1, "<SCRIPT LANGUAGE=JavaScript>"},
      {date, 4, "    var lefter = event.clientX+10"},
      {date, 7, "    oCalPopUp.show(lefter, topper, 140, 155, document.body);"},
      {date, 36, ""},
      {date, 37, "</SCRIPT>"},
      {embedded, 1, "<SCRIPT LANGUAGE=JavaScript>"},
      {embedded, 54,
       "     html += \"onclick=\\\"\" + calName + \".innerHTML = buildCal(\" + "
       "parseFloat(whichMonth+12) + \", \" + parseFloat(whichYear) + \",'\" + calName + "
       "\"');\\\">\";"},
      {embedded, 66, "    html += \"</tr>\""},
      {embedded, 71,
       "            html += \" onclick=\\\"\" + calName + \"_OnClick('\" + arCal[i][j] + "
       "\"');\\\" >\";"},
      {embedded, 73, "                 if (calDayColor == \"A1A1A1\"){"},
      {embedded, 91,
       "    html += \"<td align=\\\"center\\\" BGCOLOR=\\\"#a1a1a1\\\" colspan=7 "
       "STYLE=\\\"border:1pt solid #000000; cursor:hand; font-size:8pt\\\"\";"},
      {embedded, 99, "</script>"},
      {popup, 1, "<script language=\"JavaScript\">"},
      {popup, 2, "    var oCalPopUp = window.createPopup();"},
      {popup, 3, "    function buildPopupCal(whichMonth, whichYear, calName) {"},
      {popup, 55,
       "        html += \"onclick=\\\"window.parent.oCalPopUp.document.body.innerHTML = "
       "window.parent.buildPopupCal(\" + parseFloat(whichMonth+12) + \", \" + "
       "parseFloat(whichYear) + \",'\" + calName + \"');\\\">\";"},
      {popup, 74, "                    if (calDayColor == \"A1A1A1\"){"},
      {popup, 80, "                "},
      {popup, 100, "    }"},
      {popup, 101, "</script>"},
  };
  for (const auto& l : lines) {
    EXPECT_EQ(l.block[l.line - 1], l.text) << "line " << l.line;
  }
  EXPECT_TRUE(embedded[91].starts_with("    html += \"onclick=")) << "no space before onclick";

  // The popup grid is the embedded grid four spaces further in, apart from
  // its handlers and the colour test.
  for (std::size_t e = 3; e <= 98; ++e) {
    const std::size_t p = e <= 78 ? e + 1 : e + 2;
    if (e == 35 || e == 42 || e == 47 || e == 54 || e == 71 || e == 73 || e == 92) continue;
    EXPECT_EQ(popup[p - 1], "    " + embedded[e - 1]) << "popup line " << p;
  }
}

TEST_F(CalendarTest, ANewCalendarOpensAtTodayWithTheDefaultImage) {
  Calendar cal;
  EXPECT_EQ(cal.GetActiveDate(), text("12/06/2026"));
  EXPECT_EQ(cal.GetImageURL(), text("Calendar.gif"));
  EXPECT_EQ(opens_at(cal), "12, 2026, 'x'") << "the current month, not one of 1899";

  const ClockOverride new_year([] { return CivilDate{2027, 1, 1}; });
  Calendar later;
  EXPECT_EQ(later.GetActiveDate(), text("01/01/2027"));
  EXPECT_EQ(opens_at(later), "1, 2027, 'x'");
}

TEST_F(CalendarTest, ActiveDateIsHeldAsMmDdYyyyTextAndOpensTheCalendarAtItsMonth) {
  struct Case {
    Variant value;
    const char* stored;
    const char* opens_at;
  };
  const Case cases[] = {
      {text("2/14/2003"), "02/14/2003", "2, 2003, 'x'"},
      {text("02/14/2003 10:30"), "02/14/2003", "2, 2003, 'x'"},
      {text("12/31/2003"), "12/31/2003", "12, 2003, 'x'"},
      {Variant(make_date({2003, 2, 14}, {10, 30, 0})), "02/14/2003", "2, 2003, 'x'"},
      {Variant(make_date({1899, 12, 29}, {6, 0, 0})), "12/29/1899", "12, 1899, 'x'"},
      {text("February 14, 2003"), "02/14/2003", "2, 2003, 'x'"},
      {text("14 Feb 2003"), "02/14/2003", "2, 2003, 'x'"},
      {text("2003-02-14"), "02/14/2003", "2, 2003, 'x'"},
      {text("2/14/03"), "02/14/2003", "2, 2003, 'x'"},
      {text("1/5/29"), "01/05/2029", "1, 2029, 'x'"},
      {text("1/5/30"), "01/05/1930", "1, 1930, 'x'"},
      {text("2/29/2004"), "02/29/2004", "2, 2004, 'x'"},
      {text("1/1/0100"), "01/01/0100", "1, 100, 'x'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Calendar cal;
    Variant value = c.value;
    cal.LetActiveDate(value);
    EXPECT_EQ(value, c.value) << "the caller's value is not changed";
    const Variant stored = cal.GetActiveDate();
    EXPECT_EQ(stored.kind(), Variant::Kind::String) << "text, not a date value";
    EXPECT_EQ(stored.string(), c.stored);
    EXPECT_EQ(opens_at(cal), c.opens_at);
  }
}

TEST_F(CalendarTest, AValueThatIsNoDateRaisesErrorOneAndChangesNothing) {
  const Variant refused[] = {
      Variant(),
      Variant::null(),
      text(""),
      text("abc"),
      text("2/30/2003"),
      text("13/45/2003"),
      text("February 30, 2003"),
      text("2/29/2003"),
      text("2/14"),
      text("5"),
      Variant(std::int32_t{5}),
      Variant(37666.0),
      Variant(std::int16_t{2}),
      Variant(true),
      Variant(Date{1e9}),
      Variant::object(),
  };
  Calendar cal = at_14_feb_2003();
  for (const Variant& value : refused) {
    SCOPED_TRACE(::testing::PrintToString(value));
    Variant argument = value;
    try {
      cal.LetActiveDate(argument);
      ADD_FAILURE() << "accepted";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), 1);
      EXPECT_EQ(error.source(), "Vantrel.Calendar");
      EXPECT_EQ(error.description(), "ActiveDate Property not a valid date.");
    }
    EXPECT_EQ(cal.GetActiveDate(), text("02/14/2003"));
  }
  Variant name = text("x");
  EXPECT_EQ(cal.DisplayPopup(name).substr(date_script.size() + popup_script.size()),
            "<input value=\"02/14/2003\" readonly type=\"text\" size=\"10\" name=\"x\">&nbsp;"
            "<img style=\"cursor:hand\" onclick=\"calContextMenu(buildPopupCal(2, 2003, 'x')); "
            "return false;\" border=\"0\" src=\"Calendar.gif\" WIDTH=\"16\" HEIGHT=\"15\">")
      << "date text, month and year all as before";

  Variant valid = text("12/31/2003");
  cal.LetActiveDate(valid);
  EXPECT_EQ(cal.GetActiveDate(), text("12/31/2003")) << "usable after a failed assignment";
  EXPECT_EQ(opens_at(cal), "12, 2003, 'x'");
}

TEST_F(CalendarTest, ImageURLIsStoredAsTextAndWrittenAsTheButtonImage) {
  struct Case {
    Variant value;
    const char* stored;
  };
  const Case cases[] = {
      {Variant(std::int32_t{5}), "5"},
      {text(""), ""},
      {Variant(), ""},
      {text("img/cal.gif"), "img/cal.gif"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Calendar cal = at_14_feb_2003();
    Variant value = c.value;
    cal.LetImageURL(value);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(cal.GetImageURL(), text(c.stored));
    Variant name = text("d");
    const std::string out = cal.DisplayPopup(name);
    EXPECT_TRUE(out.ends_with(std::string(" border=\"0\" src=\"") + c.stored +
                              "\" WIDTH=\"16\" HEIGHT=\"15\">"));
    EXPECT_EQ(cal.DisplayEmbedded(name).find("src="), std::string::npos);
  }
}

TEST_F(CalendarTest, ImageURLThatCannotBeTextKeepsTheOldValue) {
  const ClassDescriptor& cls = *vantrel_library().find_class("Vantrel.Calendar");
  const struct {
    Variant value;
    int number;
  } cases[] = {{Variant::null(), 94}, {Variant::object(), 13}};
  for (const auto& c : cases) {
    Calendar cal;
    Variant url = text("img/cal.gif");
    Variant* args[] = {&url};
    invoke(cls, &cal, "ImageURL", MemberKind::PropertyLet, args);
    Variant bad = c.value;
    Variant* bad_args[] = {&bad};
    try {
      invoke(cls, &cal, "ImageURL", MemberKind::PropertyLet, bad_args);
      ADD_FAILURE() << "accepted";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), c.number);
      EXPECT_EQ(error.source(), "Vantrel.Calendar");
    }
    EXPECT_EQ(invoke(cls, &cal, "ImageURL", MemberKind::PropertyGet, {}), url);
  }
}

TEST_F(CalendarTest, TheWorkedDivBlockAndFieldMarkup) {
  Calendar embedded = at_14_feb_2003();
  Variant cal1 = text("cal1");
  EXPECT_EQ(embedded.DisplayEmbedded(cal1), date_script + embedded_script + kCal1Div);
  EXPECT_EQ(cal1, text("cal1"));

  Calendar popup = at_14_feb_2003();
  Variant start = text("StartDate");
  EXPECT_EQ(popup.DisplayPopup(start), date_script + popup_script + std::string(kStartDateField));
  EXPECT_EQ(start, text("StartDate"));
}

// Each call sequence on one new object, and what each call returns: the
// script blocks it carries, then its own markup.
TEST_F(CalendarTest, EachScriptBlockGoesOutOncePerObject) {
  const std::string& date = date_script;
  const std::string& emb = embedded_script;
  const std::string& pop = popup_script;
  const std::string field(kStartDateField);
  struct Call {
    char method;  // 'E' embedded (cal1), 'P' popup (StartDate)
    std::string expected;
  };
  const std::vector<std::vector<Call>> sequences = {
      {{'E', date + emb + kCal1Div}},
      {{'E', date + emb + kCal1Div}, {'E', kCal1Div}, {'E', kCal1Div}},
      {{'P', date + pop + field}},
      {{'P', date + pop + field}, {'P', field}, {'P', field}},
      {{'E', date + emb + kCal1Div}, {'P', pop + field}, {'E', kCal1Div}, {'P', field}},
      {{'P', date + pop + field}, {'E', emb + kCal1Div}, {'P', field}, {'E', kCal1Div}},
  };
  for (std::size_t s = 0; s < sequences.size(); ++s) {
    // Two objects: the second emits its blocks again.
    for (int object = 0; object < 2; ++object) {
      Calendar cal = at_14_feb_2003();
      for (std::size_t i = 0; i < sequences[s].size(); ++i) {
        const Call& call = sequences[s][i];
        Variant name = text(call.method == 'E' ? "cal1" : "StartDate");
        const std::string out =
            call.method == 'E' ? cal.DisplayEmbedded(name) : cal.DisplayPopup(name);
        EXPECT_EQ(out, call.expected) << "sequence " << s << ", call " << i;
      }
    }
  }

  Calendar cal = at_14_feb_2003();
  Variant cal1 = text("cal1");
  EXPECT_EQ(crlf_lines(cal.DisplayEmbedded(cal1)).size(), 142u);
  Calendar other = at_14_feb_2003();
  Variant start = text("StartDate");
  const auto lines = crlf_lines(other.DisplayPopup(start), true);
  ASSERT_EQ(lines.size(), 139u);
  EXPECT_EQ(lines[137], "</script>");
  EXPECT_EQ(lines[138], kStartDateField);
}

TEST_F(CalendarTest, PropertiesChangedBetweenCallsTakeEffectInTheNextCall) {
  Calendar cal = at_14_feb_2003();
  Variant name = text("x");
  cal.DisplayPopup(name);
  cal.DisplayEmbedded(name);
  Variant date = text("12/31/2003");
  Variant url = text("img/cal.gif");
  cal.LetActiveDate(date);
  cal.LetImageURL(url);
  EXPECT_EQ(cal.DisplayPopup(name),
            "<input value=\"12/31/2003\" readonly type=\"text\" size=\"10\" name=\"x\">&nbsp;"
            "<img style=\"cursor:hand\" onclick=\"calContextMenu(buildPopupCal(12, 2003, 'x')); "
            "return false;\" border=\"0\" src=\"img/cal.gif\" WIDTH=\"16\" HEIGHT=\"15\">");
  EXPECT_NE(cal.DisplayEmbedded(name).find("document.write( buildCal(12, 2003, 'x') );\r\n"),
            std::string::npos);
}

TEST_F(CalendarTest, TheNameIsWrittenAsTextWhereverItIsUsed) {
  struct Case {
    Variant name;
    const char* written;
  };
  const Case cases[] = {
      {Variant(std::int32_t{5}), "5"}, {Variant(-2.5), "-2.5"},      {Variant(), ""},
      {Variant::null(), ""},           {text("a\"<b>'"), "a\"<b>'"},  // not escaped
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    Calendar cal = at_14_feb_2003();
    Variant name = c.name;
    EXPECT_EQ(cal.DisplayEmbedded(name),
              date_script + embedded_script + replace_all(kCal1Div, "cal1", c.written));
    EXPECT_EQ(cal.DisplayPopup(name),
              popup_script + replace_all(kStartDateField, "StartDate", c.written));
    EXPECT_EQ(name, c.name) << "the caller's value is not changed";
  }
}

// A name that cannot be written as text fails the call before anything is
// marked as written, so the next call still carries the script blocks the
// page needs.
TEST_F(CalendarTest, ANameThatIsNoTextFailsTheCallAndLeavesTheScriptsToTheNextCall) {
  const ClassDescriptor& cls = *vantrel_library().find_class("Vantrel.Calendar");
  Calendar cal = at_14_feb_2003();
  for (const char* method : {"DisplayEmbedded", "DisplayPopup"}) {
    Variant bad = Variant::object();
    Variant* args[] = {&bad};
    try {
      invoke(cls, &cal, method, MemberKind::Method, args);
      ADD_FAILURE() << method << " accepted an object";
    } catch (const AutomationError& error) {
      EXPECT_EQ(error.number(), 13) << method;
      EXPECT_EQ(error.source(), "Vantrel.Calendar");
    }
  }
  Variant start = text("StartDate");
  EXPECT_EQ(cal.DisplayPopup(start), date_script + popup_script + std::string(kStartDateField));
  Variant cal1 = text("cal1");
  EXPECT_EQ(cal.DisplayEmbedded(cal1), embedded_script + kCal1Div);
}

}  // namespace
}  // namespace vantrel
