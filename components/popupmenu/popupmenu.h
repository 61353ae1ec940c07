#pragma once

#include <string>
#include <string_view>

#include "frame/members.h"

namespace vantrel {

// A right-click menu of titles, items and rules, shown instead of the
// browser's own.
class PopupMenu {
 public:
  void LetBorderColor(std::string_view NewBorderColor);
  void LetWidth(std::int16_t NewWidth);
  void LetBGColor(std::string_view NewBGColor);
  void LetOnMouseOver(std::string_view NewOnMouseOver);
  void LetOnMouseOut(std::string_view NewOnMouseOut);
  void AddMenuTitle(std::string_view Display);
  void AddMenuItem(std::string_view Display, std::string_view OnClick, std::string_view ImagePath);
  void AddHorizontalRule(std::string_view ImagePath_1x1Pixel);
  std::string EmbedPopupMenu();
};

extern const ClassBinding kPopupMenuBinding;

}  // namespace vantrel
