// Tab strips in page scripts, run in-process against the registered library.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/page_host.h"
#include "platform/posix/runtime.h"
#include "tests/support/text_files.h"

namespace vantrel::host {
namespace {

class TabsPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_EQ(posix::register_server(VANTREL_LIBRARY_PATH, &error), posix::result::kOk) << error;
  }
};

TEST_F(TabsPage, TheExampleWritesAThreeTabStrip) {
  std::ifstream in(std::string(VANTREL_EXAMPLES_DIR) + "/tabs.js", std::ios::binary);
  const std::string source{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(source.empty());
  const PageResult result = run_page(source, "tabs.js");
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.exit_status, kPageWritten);
  EXPECT_EQ(result.page, testing::golden("tabs_page.html"));
}

TEST_F(TabsPage, ErrorsReachThePageWithNumberSourceAndDescription) {
  const PageResult result = run_page(R"js(
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
  )js",
                                     "page.js");
  EXPECT_EQ(result.page,
            "1|OlvinTabs.TABS|TabName property is empty.\n"
            "438|Vantrel.Tabs|Object doesn't support this property or method\n"
            "13|Vantrel.Tabs|Type mismatch\n"
            "6|Vantrel.Tabs|Overflow\n"
            "#e0e0e0 One");
  EXPECT_EQ(result.exit_status, kPageWritten);
}

}  // namespace
}  // namespace vantrel::host
