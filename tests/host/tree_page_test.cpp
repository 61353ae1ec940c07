// Tree pages as a page script writes them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "host/page_host.h"
#include "platform/posix/runtime.h"
#include "tests/support/text_files.h"

namespace vantrel::host {
namespace {

class TreePage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_EQ(posix::register_server(VANTREL_LIBRARY_PATH, &error), posix::result::kOk) << error;
  }
};

TEST_F(TreePage, TheExampleWritesTwoMenusWithTheControls) {
  std::ifstream file(std::string(VANTREL_EXAMPLES_DIR) + "/tree.js", std::ios::binary);
  const std::string source{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(source.empty());
  const PageResult result = run_page(source, "tree.js");
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.exit_status, kPageWritten);
  const std::string expected = testing::golden("tree_page.html");
  EXPECT_EQ(result.page, expected);
  EXPECT_EQ(expected.find(testing::golden("tree_script.txt")), 14u)
      << "the script follows the page's first line";
}

TEST_F(TreePage, ALeftOutImagePathIsAnEmptyOne) {
  const PageResult result = run_page(R"js(
    var tree = Server.CreateObject("Vantrel.Tree");
    tree.Initialize();
    var omitted = tree.WriteNode("a", "b", "c");
    Response.Write([omitted === tree.WriteNode("a", "b", "c", ""),
                    omitted === tree.writenode("a", "b", "c", undefined),
                    omitted.indexOf("<img") == -1,
                    tree.WriteNode("a", "b", "c", "i.gif").indexOf(' src="i.gif"') > 0].join());
    Response.Write("|" + omitted);
  )js",
                                     "page.js");
  EXPECT_EQ(result.diagnostics, "");
  EXPECT_EQ(result.page,
            "true,true,true,true|<table border=\"0\" width=\"1\" cellpadding=\"0\" "
            "cellspacing=\"1\"><tr><td align=\"center\" nowrap colspan=\"1\" width=20></td><td "
            "nowrap colspan=\"1\" ID=\"node1\"><a target=\"c\" href=\"b\"><font "
            "class=>a</font></a></td></tr></table>\r\n");
}

}  // namespace
}  // namespace vantrel::host
