// The tree's client script, run against a stand-in document made from the
// markup the tree writes: its images (with their click handlers) and its
// menu tables, by id.
#include <gtest/gtest.h>

#include <string>

#include "components/tree/tree.h"
#include "tests/support/script_engine.h"

namespace vantrel {
namespace {

// Builds document.images and document.all from the <img> and <table> tags of
// a page. Addresses are resolved against the site as a browser does, on
// load and on assignment, so the script only ever sees whole URLs.
constexpr std::string_view kStandInDocument = R"js(
var site = "http://intranet.example";
function resolve(address) { return address.charAt(0) == "/" ? site + address : address; }
function attribute(tag, name) {
  var found = new RegExp("\\s" + name + "=\"([^\"]*)\"", "i").exec(tag);
  return found ? found[1] : null;
}
var document = { all: {}, images: [] };
function load(markup) {
  var tags = /<(img|table)\b[^>]*>/gi, tag;
  while ((tag = tags.exec(markup)) !== null) {
    var id = attribute(tag[0], "id");
    var element;
    if (tag[1].toLowerCase() == "img") {
      element = { id: id || "", onclick: attribute(tag[0], "onclick") };
      Object.defineProperty(element, "src", {
        get: function () { return this.address; },
        set: function (value) { this.address = resolve(value); }
      });
      element.src = attribute(tag[0], "src");
      document.images.push(element);
    } else {
      // A menu table: row 1 holds the links and starts hidden.
      element = { rows: [{ style: { display: "" } }, { style: { display: "none" } }] };
    }
    if (id) document.all[id] = element;
  }
}
function click(id) { eval(document.all[id].onclick); }
function shown(n) { return document.all["table_" + n].rows[1].style.display; }
function image(id) { return document.all[id].src.replace(site, ""); }
)js";

class TreeScript : public ::testing::Test {
 protected:
  void SetUp() override { engine.eval(kStandInDocument); }
  // Loads the page into the stand-in document and runs its script blocks.
  void load(const std::string& page) {
    engine.eval("load(" + quoted(page) + ");");
    engine.run_scripts_in(page);
  }
  static std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
      if (c == '"' || c == '\\') out += '\\';
      if (c == '\r') {
        out += "\\r";
      } else if (c == '\n') {
        out += "\\n";
      } else {
        out += c;
      }
    }
    return out + "\"";
  }
  testing::ScriptEngine engine;
};

TEST_F(TreeScript, AClickOnAMenuImageOrHeadingOpensAndClosesIt) {
  Tree tree;
  std::string page = tree.WriteMenuHeader("Reports");
  page += tree.WriteNode("Sales", "sales.asp", "main", "");
  page += tree.WriteMenuFooter();
  page += tree.WriteMenuHeader("Admin");
  page += tree.WriteMenuFooter();
  load(page);

  EXPECT_EQ(engine.eval("[shown(1), image('image_1'), shown(2)].join()"),
            "none,/images/icons/FolderClosed.gif,none");
  EXPECT_EQ(engine.eval("click('image_1'); [shown(1), image('image_1'), shown(2)].join()"),
            "block,/images/icons/FolderOpen.gif,none");
  EXPECT_EQ(engine.eval("click('image_1'); [shown(1), image('image_1')].join()"),
            "none,/images/icons/FolderClosed.gif");
  // The heading's link makes the same call as the image.
  const std::string heading_link = "changeTableRow('image_2', 'table_2')";
  ASSERT_NE(page.find("<a href=\"javascript:" + heading_link + "\">"), std::string::npos);
  EXPECT_EQ(engine.eval(heading_link + "; [shown(1), shown(2), image('image_2')].join()"),
            "none,block,/images/icons/FolderOpen.gif");
}

TEST_F(TreeScript, TheControlsOpenAndCloseEveryMenuTheScriptKnows) {
  Tree tree;
  std::string page = "<img id=\"logo\" src=\"/images/logo.gif\">\r\n";
  page += tree.WriteExpandCollapse();
  for (int menu = 1; menu <= 12; ++menu) {
    page += tree.WriteMenuHeader("Menu " + std::to_string(menu));
    page += tree.WriteNode("Link", "a.asp", "main", "/images/icons/page.gif");
    page += tree.WriteMenuFooter();
  }
  // The script went out with the first call: a menu written with another
  // closed-folder image is not one it recognises.
  tree.LetCollapsedImage("/images/icons/Closed2.gif");
  page += tree.WriteMenuHeader("Menu 13");
  page += tree.WriteMenuFooter();
  load(page);

  const std::string states =
      "var s = []; for (var n = 1; n <= 13; n++) s.push(shown(n) + ' ' + image('image_' + n));"
      "s.join()";
  std::string open_all, closed_all;
  for (int menu = 1; menu <= 12; ++menu) {
    open_all += "block /images/icons/FolderOpen.gif,";
    closed_all += "none /images/icons/FolderClosed.gif,";
  }
  const std::string menu_13 = "none /images/icons/Closed2.gif";

  engine.eval("click('image_3');");
  EXPECT_EQ(engine.eval("click('image_plus');" + states), open_all + menu_13);
  EXPECT_EQ(engine.eval("click('image_minus');" + states), closed_all + menu_13);
  EXPECT_EQ(engine.eval("click('image_12'); [shown(11), shown(12), image('image_12')].join()"),
            "none,block,/images/icons/FolderOpen.gif");
  EXPECT_EQ(engine.eval("[image('logo'), image('image_plus'), image('image_minus')].join()"),
            "/images/logo.gif,/images/icons/treeplus.gif,/images/icons/treeminus.gif")
      << "other images are left alone";
}

}  // namespace
}  // namespace vantrel
