#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/members.h"

namespace vantrel {

class Output;

// A menu of collapsible groups of links, with expand-all and collapse-all
// controls. A page writes, in order: optionally the controls
// (WriteExpandCollapse), then for each menu its header, its nodes and its
// footer. The client script that opens and closes the menus comes once, at
// the head of the first of these results, or from an explicit Initialize.
//
// Every output call is all-or-nothing: one that raises (the menu numbers run
// out at 32767) returns nothing and leaves MenuCount and ScriptWritten as
// they were.
class Tree {
 public:
  // Properties, read whenever an output method runs: a value set between two
  // calls takes effect from the next call on. Stored and written unchanged.
  std::string GetWidth() const;
  void LetWidth(std::string_view newWidth);
  std::string GetTextClass() const;
  void LetTextClass(std::string_view NewTextClass);
  std::string GetExpandedImage() const;
  void LetExpandedImage(std::string_view NewExpandedImage);
  std::string GetExpandAllImage() const;
  void LetExpandAllImage(std::string_view NewExpandAllImage);
  std::string GetCollapsedImage() const;
  void LetCollapsedImage(std::string_view NewCollapsedImage);
  std::string GetCollapseAllImage() const;
  void LetCollapseAllImage(std::string_view NewCollapseAllImage);

  // The collapse-all and expand-all controls on one line.
  std::string WriteExpandCollapse();
  // The client script with the folder paths current now; every call returns
  // it again, and output calls leave it out from then on.
  std::string Initialize();
  // Opens the next menu, numbered MenuCount + 1, headed MenuName.
  std::string WriteMenuHeader(std::string_view MenuName);
  // Closes the open menu.
  std::string WriteMenuFooter();
  // One link of the open menu; an empty ImagePath leaves the image cell empty.
  std::string WriteNode(std::string_view NodeName, std::string_view URI, std::string_view Target,
                        std::string_view ImagePath);

  // The open and closed folder images a tree starts with.
  static constexpr std::string_view kDefaultExpandedImage = "/images/icons/FolderOpen.gif";
  static constexpr std::string_view kDefaultCollapsedImage = "/images/icons/FolderClosed.gif";

 private:
  friend struct TreeTestAccess;  // tests set MenuCount near its limit directly

  std::size_t ScriptSize() const;
  void WriteScript(Output& out) const;
  // Starts an output with room for `markup` more bytes, the script in front
  // if this object has not returned it yet. Callers make every check that
  // can raise before this and append at most `markup` bytes after it, so
  // ScriptWritten, which StartOutputWithScript sets, is never left set by a
  // failing call.
  Output StartOutput(std::size_t markup);
  // The same with the script in front, whether returned before or not.
  Output StartOutputWithScript(std::size_t markup);

  std::string Width = "1";
  std::string TextClass;
  std::string ExpandedImage{kDefaultExpandedImage};
  std::string CollapsedImage{kDefaultCollapsedImage};
  std::string ExpandAllImage = "/images/icons/treeplus.gif";
  std::string CollapseAllImage = "/images/icons/treeminus.gif";
  std::int16_t MenuCount = 0;  // menus opened so far: the number of the current menu
  bool ScriptWritten = false;
};

extern const ClassBinding kTreeBinding;

}  // namespace vantrel
