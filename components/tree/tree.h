#pragma once

#include <string>
#include <string_view>

#include "frame/members.h"

namespace vantrel {

// A menu of collapsible groups of links, with expand-all and collapse-all
// controls.
class Tree {
 public:
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
  std::string WriteExpandCollapse();
  std::string Initialize();
  std::string WriteMenuHeader(std::string_view MenuName);
  std::string WriteMenuFooter();
  std::string WriteNode(std::string_view NodeName, std::string_view URI, std::string_view Target,
                        std::string_view ImagePath);
};

extern const ClassBinding kTreeBinding;

}  // namespace vantrel
