#include "components/progressbar/progressbar.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"
#include "tests/support/script_engine.h"
#include "tests/support/text_files.h"

namespace vantrel {
namespace {

using testing::crlf_lines;
using testing::golden;

constexpr std::string_view kHidePageLine =
    "<Script Language=\"JavaScript\">document.getElementById('page').style.display = "
    "'none';</Script>";
constexpr std::string_view kShowPageLine =
    "<Script Language=\"JavaScript\">document.getElementById('page').style.display = "
    "'block';</Script>";

Variant text(std::string_view value) { return Variant(value); }
Variant whole(std::int32_t value) { return Variant(value); }

std::string show(ProgressBar& bar, bool hide_output, bool hide_bar) {
  Variant during(hide_output), after(hide_bar);
  return bar.Show(during, after);
}

// The number of the automation error that `call` raises, or 0 when it raises
// none.
template <class Call>
std::int32_t error_number_of(Call call) {
  try {
    call();
  } catch (const AutomationError& error) {
    return error.number();
  }
  return 0;
}

// Show's output with both arguments false and the defaults: 31 lines.
std::string plain_show() { return golden("progressbar_show.txt"); }

TEST(ProgressBar, StartsAtZeroWithoutMaximumInBlue) {
  const ProgressBar bar;
  EXPECT_EQ(bar.GetValue(), whole(0)) << "a 32-bit integer, not any zero";
  EXPECT_EQ(bar.GetMax(), whole(0));
  EXPECT_EQ(bar.GetColor(), text("0000ff"));
}

TEST(ProgressBar, ShowWithBothFalseIsTheScriptTheBarAndThePageDivision) {
  const std::string expected = plain_show();
  const auto lines = crlf_lines(expected);
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[3], "var progressEnd = 100;");
  EXPECT_EQ(lines[24], "}");
  EXPECT_EQ(lines[25], "</script>");
  EXPECT_EQ(lines.back(), "<div id=\"page\">");

  ProgressBar bar;
  const std::string out = show(bar, false, false);
  EXPECT_EQ(out, expected);
  EXPECT_EQ(out.find("window.onload"), std::string::npos);
  EXPECT_EQ(show(bar, false, false), out) << "Show changes nothing and may be called again";
}

TEST(ProgressBar, TheBarLineHoldsAHundredCellsInOrder) {
  ProgressBar bar;
  const auto lines = crlf_lines(show(bar, false, false));
  ASSERT_EQ(lines.size(), 31u);
  EXPECT_EQ(lines[27],
            "<table border=0><tr><td><div style=\"padding:2px;border:solid black 1px;\">");
  std::string cells;
  for (int n = 1; n <= 100; ++n) {
    cells += "<span id=\"progress" + std::to_string(n) + "\"><img src='' width=2 height=5></span>";
  }
  EXPECT_EQ(lines[28], cells +
                           "</div></td><td id=Display align=left><font style=\"FONT-SIZE: "
                           "10pt\">0&nbsp;%</font></td></tr></table>");
  EXPECT_EQ(lines[29], "</div>");
}

TEST(ProgressBar, ShowAddsTheLoadHandlerAndTheHidingLineOnRequest) {
  const std::string plain = plain_show();
  const std::size_t script_end = plain.find("</script>\r\n");
  ASSERT_NE(script_end, std::string::npos);
  struct Case {
    bool hide_output, hide_bar;
  };
  for (const Case c : {Case{false, true}, Case{true, false}, Case{true, true}}) {
    std::string expected = plain;
    if (c.hide_output) expected += std::string(kHidePageLine) + "\r\n";
    if (c.hide_bar) expected.insert(script_end, "window.onload=hideIt;\r\n");
    ProgressBar bar;
    EXPECT_EQ(show(bar, c.hide_output, c.hide_bar), expected)
        << "HideOutputDuring " << c.hide_output << ", HideProgressBarAfter " << c.hide_bar;
  }

  ProgressBar bar;
  const auto lines = crlf_lines(show(bar, true, true));
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[25], "window.onload=hideIt;");
  EXPECT_EQ(lines[26], "</script>");
  EXPECT_EQ(lines[31], "<div id=\"page\">");
  EXPECT_EQ(lines[32], kHidePageLine);
}

TEST(ProgressBar, ShowWritesMaxAndColorAsTheyStandAtTheCall) {
  struct Case {
    Variant max, color;
    const char* end_line;
    const char* color_line;
  };
  const Case cases[] = {
      {Variant(), text("0000ff"), "var progressEnd = 100;", "var progressColor = '0000ff';"},
      {whole(0), text("red"), "var progressEnd = 100;", "var progressColor = 'red';"},
      {whole(250), whole(255), "var progressEnd = 250;", "var progressColor = '255';"},
      {whole(-40), text("#c0c0c0"), "var progressEnd = -40;", "var progressColor = '#c0c0c0';"},
      {text("2147483647"), text(""), "var progressEnd = 2147483647;", "var progressColor = '';"},
      {Variant(2.5), text("a'b"), "var progressEnd = 2;", "var progressColor = 'a'b';"},
  };
  const auto plain = crlf_lines(plain_show());
  for (const Case& c : cases) {
    ProgressBar bar;
    Variant max = c.max, color = c.color;
    bar.LetMax(max);
    bar.LetColor(color);
    auto lines = crlf_lines(show(bar, false, false));
    ASSERT_EQ(lines.size(), plain.size());
    EXPECT_EQ(lines[3], c.end_line);
    EXPECT_EQ(lines[4], c.color_line);
    lines[3] = plain[3];
    lines[4] = plain[4];
    EXPECT_EQ(lines, plain) << "only the two lines differ";
  }

  ProgressBar bar;
  Variant number = whole(255);
  bar.LetColor(number);
  EXPECT_EQ(bar.GetColor(), text("255")) << "stored as text";
  EXPECT_EQ(number, whole(255)) << "a let leaves its argument alone";
}

TEST(ProgressBar, PropertyLetsConvertAndAFailingLetChangesNothing) {
  struct Case {
    Variant value;
    std::int32_t stored;  // when error is 0
    std::int32_t error;
  };
  const Case max_cases[] = {
      {whole(250), 250, 0},
      {Variant(2.5), 2, 0},
      {text(" 7 "), 7, 0},
      {Variant(), 0, 0},
      {text("ten"), 0, error_number::kTypeMismatch},
      {text("2147483648"), 0, error_number::kOverflow},
      {Variant::null(), 0, error_number::kInvalidUseOfNull},
  };
  for (const Case& c : max_cases) {
    ProgressBar bar;
    Variant before = whole(99);
    bar.LetMax(before);
    Variant value = c.value;
    EXPECT_EQ(error_number_of([&] { bar.LetMax(value); }), c.error)
        << ::testing::PrintToString(c.value);
    EXPECT_EQ(bar.GetMax(), whole(c.error == 0 ? c.stored : 99))
        << ::testing::PrintToString(c.value);
  }

  ProgressBar bar;
  Variant color = text("green");
  bar.LetColor(color);
  for (Variant bad : {Variant::null(), Variant::object()}) {
    EXPECT_NE(error_number_of([&] { bar.LetColor(bad); }), 0);
    EXPECT_EQ(bar.GetColor(), text("green"));
  }
  Variant empty;
  bar.LetColor(empty);
  EXPECT_EQ(bar.GetColor(), text(""));
}

TEST(ProgressBar, SetValueStoresTheWholeNumberAndCallsTheUpdate) {
  struct Case {
    Variant value;
    std::int32_t stored;
  };
  const Case cases[] = {
      {whole(42), 42},   {Variant(2.5), 2}, {Variant(3.5), 4}, {text("7"), 7},
      {whole(150), 150}, {whole(-5), -5},   {Variant(), 0},
  };
  for (const Case& c : cases) {
    ProgressBar bar;
    Variant max = whole(100);
    bar.LetMax(max);
    Variant value = c.value;
    EXPECT_EQ(bar.SetValue(value), "<SCRIPT LANGUAGE=\"JavaScript\">progress_update(" +
                                       std::to_string(c.stored) + ");</script>\r\n");
    EXPECT_EQ(bar.GetValue(), whole(c.stored));
    EXPECT_EQ(value, c.value) << "NewValue is not changed";
    EXPECT_EQ(bar.GetMax(), whole(100)) << "a value over Max is kept as it is";
  }
}

TEST(ProgressBar, SetValueThatCannotBecomeA32BitIntegerKeepsTheValue) {
  struct Case {
    Variant value;
    std::int32_t error;
  };
  const Case cases[] = {
      {text("forty"), error_number::kTypeMismatch},
      {Variant(2147483648.0), error_number::kOverflow},
      {Variant(-2147483649.0), error_number::kOverflow},
      {Variant::null(), error_number::kInvalidUseOfNull},
  };
  for (const Case& c : cases) {
    ProgressBar bar;
    Variant start = whole(42);
    bar.SetValue(start);
    Variant value = c.value;
    EXPECT_EQ(error_number_of([&] { bar.SetValue(value); }), c.error)
        << ::testing::PrintToString(c.value);
    EXPECT_EQ(bar.GetValue(), whole(42));
    EXPECT_EQ(value, c.value);
  }
}

TEST(ProgressBar, HideOutputConvertsHiddenInPlace) {
  struct Case {
    Variant hidden;
    bool converted;
  };
  const Case cases[] = {
      {whole(1), true},     {whole(0), false},  {Variant(), false},
      {text("True"), true}, {text("0"), false}, {Variant(-1.5), true},
  };
  for (const Case& c : cases) {
    ProgressBar bar;
    Variant hidden = c.hidden;
    EXPECT_EQ(bar.HideOutput(hidden),
              std::string(c.converted ? kHidePageLine : kShowPageLine) + "\r\n")
        << ::testing::PrintToString(c.hidden);
    EXPECT_EQ(hidden, Variant(c.converted)) << ::testing::PrintToString(c.hidden);
  }

  ProgressBar bar;
  for (const auto& [bad, error] : {std::pair{text("maybe"), error_number::kTypeMismatch},
                                   std::pair{Variant::null(), error_number::kInvalidUseOfNull}}) {
    Variant hidden = bad;
    EXPECT_EQ(error_number_of([&] { bar.HideOutput(hidden); }), error);
    EXPECT_EQ(hidden, bad) << "left as it was when it cannot be converted";
  }
}

// The calls as a page makes them: by name, with the caller's own variables.
class ProgressBarByName : public ::testing::Test {
 protected:
  Variant call(std::string_view name, MemberKind kind, std::vector<Variant*> args) {
    return invoke(cls, &bar, name, kind, args);
  }
  // The error a call raises; fails the test when it raises none.
  AutomationError failure(std::string_view name, std::vector<Variant*> args) {
    try {
      call(name, MemberKind::Method, std::move(args));
    } catch (const AutomationError& error) {
      return error;
    }
    ADD_FAILURE() << name << " raised no error";
    return AutomationError(0, "", "");
  }

  const ClassDescriptor& cls = *vantrel_library().find_class("Vantrel.ProgressBar");
  ProgressBar bar;
};

TEST_F(ProgressBarByName, ShowAndHideOutputLeaveBooleansInTheCallersVariables) {
  Variant during = whole(1), after = text("False");
  const Variant out = call("Show", MemberKind::Method, {&during, &after});
  EXPECT_EQ(out.kind(), Variant::Kind::String);
  EXPECT_TRUE(out.string().ends_with(std::string(kHidePageLine) + "\r\n"));
  EXPECT_EQ(out.string().find("window.onload"), std::string::npos);
  EXPECT_EQ(during, Variant(true));
  EXPECT_EQ(after, Variant(false));

  Variant hidden;
  EXPECT_EQ(call("HideOutput", MemberKind::Method, {&hidden}),
            Variant(std::string(kShowPageLine) + "\r\n"));
  EXPECT_EQ(hidden, Variant(false)) << "an empty variable becomes False";

  Variant same = text("-1");
  call("Show", MemberKind::Method, {&same, &same});
  EXPECT_EQ(same, Variant(true)) << "one variable passed twice";
}

TEST_F(ProgressBarByName, WhenTheSecondArgumentFailsTheFirstIsAlreadyConverted) {
  struct Case {
    Variant during, after;
    std::int32_t error;
    Variant during_afterwards;
  };
  const Case cases[] = {
      {whole(5), text("maybe"), error_number::kTypeMismatch, Variant(true)},
      {text("0"), Variant::null(), error_number::kInvalidUseOfNull, Variant(false)},
      {Variant(), Variant::object(), error_number::kTypeMismatch, Variant(false)},
      {Variant::null(), whole(1), error_number::kInvalidUseOfNull, Variant::null()},
      {text("maybe"), whole(1), error_number::kTypeMismatch, text("maybe")},
  };
  for (const Case& c : cases) {
    Variant during = c.during, after = c.after;
    const AutomationError error = failure("Show", {&during, &after});
    EXPECT_EQ(error.number(), c.error);
    EXPECT_EQ(error.source(), "Vantrel.ProgressBar");
    EXPECT_EQ(during, c.during_afterwards) << ::testing::PrintToString(c.during);
    EXPECT_EQ(after, c.after) << "the failing argument keeps what the caller put in";
  }
}

TEST_F(ProgressBarByName, PropertiesAndValueCrossAsAutomationValues) {
  EXPECT_EQ(call("GetValue", MemberKind::Method, {}), whole(0));
  Variant max = text("250");
  call("Max", MemberKind::PropertyLet, {&max});
  EXPECT_EQ(max, text("250"));
  EXPECT_EQ(call("max", MemberKind::PropertyGet, {}), whole(250));
  EXPECT_EQ(call("Color", MemberKind::PropertyGet, {}), text("0000ff"));

  Variant value = Variant(3.5);
  EXPECT_EQ(call("SetValue", MemberKind::Method, {&value}),
            text("<SCRIPT LANGUAGE=\"JavaScript\">progress_update(4);</script>\r\n"));
  EXPECT_EQ(value, Variant(3.5));
  EXPECT_EQ(call("GetValue", MemberKind::Method, {}), whole(4));

  Variant too_big = Variant(2147483648.0);
  const AutomationError error = failure("SetValue", {&too_big});
  EXPECT_EQ(error.number(), error_number::kOverflow);
  EXPECT_EQ(error.source(), "Vantrel.ProgressBar");
  EXPECT_EQ(call("GetValue", MemberKind::Method, {}), whole(4));
}

// The emitted scripts, run against stand-ins for the page's elements: the
// division "progress", the cells progress1 to progress100, the label cell
// Display and the division "page". Looking up any other id yields null, so
// a script that addresses an element the markup lacks fails.
class ProgressBarScript : public ::testing::Test {
 protected:
  void SetUp() override {
    engine.eval(R"js(
      var elements = {};
      function add(id) { elements[id] = { id: id, style: { display: '', backgroundColor: '' } }; }
      add('progress'); add('page');
      for (var n = 1; n <= 100; n++) add('progress' + n);
      var document = { getElementById: function (id) {
        return elements.hasOwnProperty(id) ? elements[id] : null; } };
      var window = {};
      var Display = { innerHTML: '' };
      // How many cells are filled (they must be 1 to n, the rest transparent),
      // then the label.
      function bar() {
        var n = 0;
        for (var i = 1; i <= 100; i++) {
          var color = elements['progress' + i].style.backgroundColor;
          if (color == progressColor && n == i - 1) n = i;
          else if (color != 'transparent') return 'cell ' + i + ': ' + color;
        }
        return n + ' ' + Display.innerHTML;
      }
    )js");
  }
  void show(std::int32_t max, bool hide_output = false, bool hide_bar = false) {
    Variant end = whole(max);
    bar.LetMax(end);
    engine.run_scripts_in(vantrel::show(bar, hide_output, hide_bar));
  }
  std::string update(std::int32_t value) {
    Variant argument = whole(value);
    engine.run_scripts_in(bar.SetValue(argument));
    return engine.eval("bar()");
  }
  static std::string label(int percent) {
    return "<font style='FONT-SIZE: 10pt'>" + std::to_string(percent) + "&nbsp;%</font>";
  }

  testing::ScriptEngine engine;
  ProgressBar bar;
};

TEST_F(ProgressBarScript, FillsTheShareOfMaxAndClampsIt) {
  struct Case {
    std::int32_t max, value;
    int percent;
  };
  const Case cases[] = {
      {0, 0, 0},
      {0, 42, 42},
      {100, 42, 42},
      {250, 125, 50},
      {100, 150, 100},
      {100, -5, 0},
      {250, 250, 100},
      {0, 100, 100},
      {-100, 50, 0},
      {-100, -50, 50},
      {3, 1, 33},
      {3, 2, 66},
      {100, 11, 11},
      {100, 29, 29},
      {250, 55, 22},
      {2147483647, 1, 0},
      {2147483647, 2147483647, 100},
      {1, -2147483647 - 1, 0},
  };
  for (const Case& c : cases) {
    show(c.max);
    EXPECT_EQ(update(c.value), std::to_string(c.percent) + " " + label(c.percent))
        << c.value << " of " << c.max;
  }
}

TEST_F(ProgressBarScript, EveryValueUpToMaxShowsItsWholePercent) {
  for (const std::int32_t max : {100, 250, 300}) {
    show(max);
    for (std::int32_t value = 0; value <= max; ++value) {
      const int percent = static_cast<int>(100 * value / max);
      ASSERT_EQ(update(value), std::to_string(percent) + " " + label(percent))
          << value << " of " << max;
    }
  }
}

TEST_F(ProgressBarScript, ALowerValueEmptiesCellsInTheColourSet) {
  Variant color = text("red");
  bar.LetColor(color);
  show(0);
  EXPECT_EQ(update(80), "80 " + label(80));
  EXPECT_EQ(update(20), "20 " + label(20));
  EXPECT_EQ(engine.eval("elements.progress20.style.backgroundColor + ' ' + "
                        "elements.progress21.style.backgroundColor"),
            "red transparent");
}

TEST_F(ProgressBarScript, HidingThePageAndTheBar) {
  show(0);
  EXPECT_EQ(engine.eval("typeof window.onload + ' ' + elements.page.style.display"), "undefined ");

  show(0, true, true);
  EXPECT_EQ(engine.eval("elements.page.style.display"), "none");
  EXPECT_EQ(engine.eval("window.onload === hideIt"), "true");
  engine.eval("window.onload()");
  EXPECT_EQ(engine.eval("elements.progress.style.display"), "none");

  for (const auto& [hidden, display] : {std::pair{false, "block"}, std::pair{true, "none"}}) {
    Variant argument(hidden);
    engine.run_scripts_in(bar.HideOutput(argument));
    EXPECT_EQ(engine.eval("elements.page.style.display"), display);
  }
}

}  // namespace
}  // namespace vantrel
