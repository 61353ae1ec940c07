// Pages that use Vantrel.PopupMenu, run as `vantrel run` runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "host/page_host.h"
#include "platform/posix/runtime.h"
#include "tests/support/text_files.h"

namespace vantrel::host {
namespace {

class PopupMenuPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_EQ(posix::register_server(VANTREL_LIBRARY_PATH, &error), posix::result::kOk) << error;
  }
};

TEST_F(PopupMenuPage, PropertiesCanBeWrittenButNotReadAndOverflowsReachThePage) {
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
  const PageResult result = run_page(page, "menu.js");
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

TEST(PopupMenuExample, PrintsItsPage) {
  const std::string out =
      ::testing::TempDir() + "/popupmenu_example_" + std::to_string(getpid()) + ".html";
  const std::string command = std::string("'") + VANTREL_COMMAND_PATH + "' run '" +
                              VANTREL_EXAMPLES_DIR + "/popupmenu.js' >'" + out + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(out, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            testing::golden("popupmenu_page.html"));
}

}  // namespace
}  // namespace vantrel::host
