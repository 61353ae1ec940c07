#include "components/tree/tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"
#include "tests/support/text_files.h"

namespace vantrel {

// Sets a tree's counters directly, for the states at the end of the menu
// numbers that a page reaches only after tens of thousands of calls.
struct TreeTestAccess {
  static void set(Tree& tree, std::int16_t menu_count, bool script_written) {
    tree.MenuCount = menu_count;
    tree.ScriptWritten = script_written;
  }
};

namespace {

using testing::crlf_join;
using testing::crlf_lines;
using testing::golden;

constexpr std::string_view kControls =
    "<IMG alt=\"Collapse All Menus\" id=\"image_minus\" style=\"cursor:hand\" "
    "SRC=\"/images/icons/treeminus.gif\" onclick=\"expandOrCollapse(0);\">&nbsp;"
    "<IMG alt=\"Expand All Menus\" id=\"image_plus\" style=\"cursor:hand\" "
    "SRC=\"/images/icons/treeplus.gif\" onclick=\"expandOrCollapse(1);\">\r\n";

constexpr std::string_view kFooter = "</td></tr></table>\r\n";

// The seven lines of the header of menu N, with the default properties.
std::string header(int n, std::string_view name, std::string_view width = "1",
                   std::string_view text_class = "",
                   std::string_view closed = "/images/icons/FolderClosed.gif") {
  const std::string N = std::to_string(n);
  const std::string heading =
      "<td nowrap colspan=\"1\" width=20 align=\"center\"><img id=\"image_" + N +
      "\" style=\"cursor:hand\" src=\"" + std::string(closed) +
      "\" onClick=\"changeTableRow('image_" + N + "', 'table_" + N +
      "')\" ></td><td nowrap colspan=\"1\" ID=\"tblHeading" + N +
      "\"><a href=\"javascript:changeTableRow('image_" + N + "', 'table_" + N +
      "')\"><font class=" + std::string(text_class) + ">" + std::string(name) + "</font></a></td>";
  const std::string table = "<table id=\"table_" + N + "\" border=\"0\" width=\"" +
                            std::string(width) + "\" cellpadding=\"0\" cellspacing=\"1\">";
  return crlf_join({table, "<tr>", heading, "</tr>", "<tr style=\"display:none\">",
                    "<td nowrap></td>", "<td nowrap width=\"100%\">"});
}

std::string node(int id, std::string_view name, std::string_view uri, std::string_view target,
                 std::string_view text_class = "") {
  return "<table border=\"0\" width=\"1\" cellpadding=\"0\" cellspacing=\"1\"><tr><td "
         "align=\"center\" nowrap colspan=\"1\" width=20></td><td nowrap colspan=\"1\" "
         "ID=\"node" +
         std::to_string(id) + "\"><a target=\"" + std::string(target) + "\" href=\"" +
         std::string(uri) + "\"><font class=" + std::string(text_class) + ">" + std::string(name) +
         "</font></a></td></tr></table>\r\n";
}

const ClassDescriptor& tree_class() { return *vantrel_library().find_class("Vantrel.Tree"); }

Variant call(Tree& tree, std::string_view name, std::vector<Variant> args = {},
             MemberKind kind = MemberKind::Method) {
  std::vector<Variant*> pointers;
  for (Variant& arg : args) pointers.push_back(&arg);
  return invoke(tree_class(), &tree, name, kind, pointers);
}

Variant text(std::string_view value) { return Variant(value); }

// The error a late-bound call raises; fails the test when it raises none.
AutomationError error_of(Tree& tree, std::string_view name, std::vector<Variant> args = {}) {
  try {
    call(tree, name, std::move(args));
  } catch (const AutomationError& e) {
    return e;
  }
  ADD_FAILURE() << name << " raised no error";
  return AutomationError(0, "", "");
}

TEST(Tree, PropertiesStartAtTheirDefaultsAndKeepWhatIsSet) {
  struct Case {
    const char* property;
    const char* initial;
  };
  for (const Case& c : {Case{"Width", "1"}, Case{"TextClass", ""},
                        Case{"ExpandedImage", "/images/icons/FolderOpen.gif"},
                        Case{"CollapsedImage", "/images/icons/FolderClosed.gif"},
                        Case{"ExpandAllImage", "/images/icons/treeplus.gif"},
                        Case{"CollapseAllImage", "/images/icons/treeminus.gif"}}) {
    Tree tree;
    EXPECT_EQ(call(tree, c.property, {}, MemberKind::PropertyGet).string(), c.initial)
        << c.property;
    for (std::string_view value : {"", "a \"quoted\" <b>value</b>", "100%"}) {
      call(tree, c.property, {text(value)}, MemberKind::PropertyLet);
      EXPECT_EQ(call(tree, c.property, {}, MemberKind::PropertyGet).string(), value) << c.property;
    }
    call(tree, c.property, {Variant(std::int16_t{25})}, MemberKind::PropertyLet);
    EXPECT_EQ(call(tree, c.property, {}, MemberKind::PropertyGet).string(), "25")
        << "a number is stored as its text";
  }
}

TEST(Tree, TheScriptHoldsTheFolderPathsCurrentWhenItIsReturned) {
  const std::string script = golden("tree_script.txt");
  const auto lines = crlf_lines(script);
  ASSERT_EQ(lines.size(), 25u);
  EXPECT_EQ(lines.front(), "<script language=\"JavaScript\">");
  EXPECT_EQ(lines[16], "sImage = document.images[i].id");
  EXPECT_EQ(lines.back(), "</Script>");

  Tree tree;
  EXPECT_EQ(tree.Initialize(), script);
  EXPECT_EQ(tree.Initialize(), script) << "an explicit call returns the script every time";

  tree.LetExpandedImage("/img/open-v2.png");
  tree.LetCollapsedImage("/img/closed-v2.png");
  tree.LetExpandAllImage("/unused/in/the/script.gif");
  EXPECT_EQ(tree.Initialize(), golden("tree_script_custom_images.txt"));

  // Either path alone changed is written in everywhere it goes; set back, the
  // first script comes again.
  constexpr std::string_view kOther = "/x.gif";
  for (const bool expanded : {true, false}) {
    const std::string_view path =
        expanded ? Tree::kDefaultExpandedImage : Tree::kDefaultCollapsedImage;
    const auto set = expanded ? &Tree::LetExpandedImage : &Tree::LetCollapsedImage;
    std::string expected = script;
    for (auto at = expected.find(path); at != std::string::npos;
         at = expected.find(path, at + kOther.size())) {
      expected.replace(at, path.size(), kOther);
    }
    Tree one;
    (one.*set)(kOther);
    EXPECT_EQ(one.Initialize(), expected) << expanded;
    (one.*set)(path);
    EXPECT_EQ(one.Initialize(), script) << expanded;
  }
}

TEST(Tree, TheFirstOutputCallCarriesTheScript) {
  const std::string script = golden("tree_script.txt");
  struct Case {
    const char* first_call;
    std::string (*write)(Tree&);
    std::string markup;
  };
  const Case cases[] = {
      {"WriteExpandCollapse", [](Tree& t) { return t.WriteExpandCollapse(); },
       std::string(kControls)},
      {"WriteMenuHeader", [](Tree& t) { return t.WriteMenuHeader("Reports"); },
       header(1, "Reports")},
      {"WriteNode", [](Tree& t) { return t.WriteNode("Home", "/", "_top", ""); },
       node(1, "Home", "/", "_top")},
      {"WriteMenuFooter", [](Tree& t) { return t.WriteMenuFooter(); }, std::string(kFooter)},
  };
  for (const Case& c : cases) {
    Tree tree;
    EXPECT_EQ(c.write(tree), script + c.markup) << c.first_call;
    EXPECT_EQ(tree.WriteExpandCollapse(), kControls) << "after " << c.first_call;
    EXPECT_EQ(tree.WriteMenuFooter(), kFooter) << "after " << c.first_call;

    Tree initialized;
    EXPECT_EQ(initialized.Initialize(), script);
    EXPECT_EQ(c.write(initialized), c.markup) << c.first_call << " after Initialize";
    EXPECT_EQ(initialized.Initialize(), script) << "Initialize again returns the script again";
  }
}

TEST(Tree, MenusAreNumberedAndNodesCarryTheMenuNumberPlusOne) {
  Tree tree;
  EXPECT_EQ(tree.WriteNode("Home", "/", "_top", ""),
            golden("tree_script.txt") + node(1, "Home", "/", "_top"))
      << "a node before any header";
  EXPECT_EQ(tree.WriteMenuHeader("Reports"), header(1, "Reports"));
  for (const char* name : {"Sales", "Stock", "Staff"}) {
    EXPECT_EQ(tree.WriteNode(name, "r.asp", "main", ""), node(2, name, "r.asp", "main"))
        << "every node of menu 1";
  }
  EXPECT_EQ(tree.WriteMenuFooter(), kFooter);
  EXPECT_EQ(tree.WriteMenuFooter(), kFooter) << "footers do not number";
  EXPECT_EQ(tree.WriteMenuHeader("Admin"), header(2, "Admin"));
  EXPECT_EQ(tree.WriteNode("Users", "u.asp", "main", ""), node(3, "Users", "u.asp", "main"));
  EXPECT_EQ(tree.WriteMenuFooter(), kFooter);

  Tree other;
  other.Initialize();
  EXPECT_EQ(other.WriteMenuHeader("Other"), header(1, "Other")) << "objects share no counter";
}

TEST(Tree, PropertiesAndArgumentsAreWrittenAsTheyAreAtTheCall) {
  Tree tree;
  tree.Initialize();
  tree.LetWidth("100%");
  tree.LetTextClass("menu");
  tree.LetCollapsedImage("/x/closed.gif");
  EXPECT_EQ(tree.WriteMenuHeader("<b>A&B</b>"),
            header(1, "<b>A&B</b>", "100%", "menu", "/x/closed.gif"));
  EXPECT_EQ(tree.WriteNode("N\"1", "a.asp?x=1&y='2'", "", ""),
            node(2, "N\"1", "a.asp?x=1&y='2'", "", "menu"));
  tree.LetTextClass("");
  tree.LetWidth("");
  EXPECT_EQ(tree.WriteMenuHeader(""), header(2, "", "", "", "/x/closed.gif"));

  tree.LetExpandAllImage("/x/plus.gif");
  tree.LetCollapseAllImage("");
  EXPECT_EQ(tree.WriteExpandCollapse(),
            "<IMG alt=\"Collapse All Menus\" id=\"image_minus\" style=\"cursor:hand\" SRC=\"\" "
            "onclick=\"expandOrCollapse(0);\">&nbsp;<IMG alt=\"Expand All Menus\" "
            "id=\"image_plus\" style=\"cursor:hand\" SRC=\"/x/plus.gif\" "
            "onclick=\"expandOrCollapse(1);\">\r\n");
}

TEST(Tree, ANodeWithAnImageLinksTheImageToo) {
  Tree tree;
  tree.Initialize();
  tree.LetTextClass("leaf");
  tree.WriteMenuHeader("Reports");
  EXPECT_EQ(tree.WriteNode("Sales", "sales.asp", "main", "/icons/chart.gif"),
            "<table border=\"0\" width=\"1\" cellpadding=\"0\" cellspacing=\"1\"><tr><td "
            "align=\"center\" nowrap colspan=\"1\" width=20><a target=\"main\" "
            "href=\"sales.asp\"><img border=0 style=\"cursor:hand\" "
            "src=\"/icons/chart.gif\"></a></td><td nowrap colspan=\"1\" ID=\"node2\"><a "
            "target=\"main\" href=\"sales.asp\"><font class=leaf>Sales</font></a></td></tr>"
            "</table>\r\n");

  const std::string empty =
      call(tree, "WriteNode", {text("Sales"), text("sales.asp"), text("main"), text("")}).string();
  EXPECT_EQ(empty, node(2, "Sales", "sales.asp", "main", "leaf"));
  EXPECT_EQ(call(tree, "writenode", {text("Sales"), text("sales.asp"), text("main")}).string(),
            empty)
      << "a left-out image path is an empty one";
  EXPECT_EQ(error_of(tree, "WriteNode", {text("Sales"), text("sales.asp")}).number(),
            error_number::kWrongArgumentCount);
}

TEST(Tree, MenuNumbersEndAt32767AndAFailingCallChangesNothing) {
  const std::string script = golden("tree_script.txt");
  Tree tree;
  for (int n = 1; n < 32767; ++n) tree.WriteMenuHeader("m");
  EXPECT_EQ(tree.WriteNode("x", "u", "t", ""), node(32767, "x", "u", "t"));
  EXPECT_EQ(call(tree, "WriteMenuHeader", {text("Last")}).string(), header(32767, "Last"));

  for (int attempt = 0; attempt < 2; ++attempt) {
    const AutomationError header_error = error_of(tree, "WriteMenuHeader", {text("One more")});
    EXPECT_EQ(header_error.number(), error_number::kOverflow);
    EXPECT_EQ(header_error.source(), "Vantrel.Tree");
    EXPECT_EQ(header_error.description(), "Overflow");
    const AutomationError node_error =
        error_of(tree, "WriteNode", {text("x"), text("u"), text("t"), text("i.gif")});
    EXPECT_EQ(node_error.number(), error_number::kOverflow);
    EXPECT_EQ(node_error.source(), "Vantrel.Tree");
  }
  EXPECT_EQ(tree.WriteMenuFooter(), kFooter);
  EXPECT_EQ(tree.WriteExpandCollapse(), kControls);

  // The same limit on an object that has not returned its script yet: the
  // failing calls leave it unreturned, so the next output still carries it.
  Tree fresh;
  TreeTestAccess::set(fresh, 32767, false);
  EXPECT_EQ(error_of(fresh, "WriteMenuHeader", {text("m")}).number(), error_number::kOverflow);
  EXPECT_EQ(error_of(fresh, "WriteNode", {text("x"), text("u"), text("t")}).number(),
            error_number::kOverflow);
  EXPECT_EQ(fresh.WriteMenuFooter(), script + std::string(kFooter));
  EXPECT_EQ(error_of(fresh, "WriteMenuHeader", {text("m")}).number(), error_number::kOverflow)
      << "the menu number stayed at its limit";

  Tree almost;
  TreeTestAccess::set(almost, 32766, false);
  EXPECT_EQ(almost.WriteMenuHeader("Last"), script + header(32767, "Last"));
}

// Each result is reserved whole before the script is taken, so nothing after
// Initialize allocates (or can fail) and no result is copied as it grows.
TEST(Tree, EachResultIsReservedToItsExactSize) {
  for (bool script_first : {true, false}) {
    Tree tree;
    if (!script_first) tree.Initialize();
    tree.LetTextClass("menu");
    std::vector<std::string> results;
    results.push_back(tree.WriteExpandCollapse());
    results.push_back(tree.WriteMenuFooter());
    for (int n = 0; n < 12; ++n) results.push_back(tree.WriteMenuHeader("Menu"));
    results.push_back(tree.WriteNode("Link", "a.asp", "main", ""));
    results.push_back(tree.WriteNode("Link", "a.asp", "main", "/i.gif"));
    results.push_back(tree.Initialize());
    for (const std::string& result : results) {
      if (result.size() < 32) continue;  // a short string's first buffer is rounded up
      EXPECT_EQ(result.capacity(), result.size()) << result.substr(result.size() - 30);
    }
  }
}

}  // namespace
}  // namespace vantrel
