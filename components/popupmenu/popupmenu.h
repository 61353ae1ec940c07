#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/members.h"

namespace vantrel {

// A right-click menu of titles, items and rules, shown instead of the
// browser's own.
//
// Each row is turned into markup when it is added, with the colours, widths
// and handlers in force at that moment; EmbedPopupMenu wraps the rows gathered
// so far in the hidden menu table and its script, and changes nothing, so it
// may be called any number of times. Every row is 18 pixels high; the menu
// height, RowCount times 18, must fit an Integer, so a menu of more than 1820
// rows cannot be embedded (overflow) and RowCount stops at 32767.
class PopupMenu {
 public:
  // The five properties can be written, not read. Colours are written
  // without a leading "#"; no value is checked.
  void LetBorderColor(std::string_view NewBorderColor);
  void LetWidth(std::int16_t NewWidth);
  void LetBGColor(std::string_view NewBGColor);
  void LetOnMouseOver(std::string_view NewOnMouseOver);
  void LetOnMouseOut(std::string_view NewOnMouseOut);

  // Row methods: each appends one row, or raises overflow (6) and appends
  // nothing. Caller text is written as given.
  void AddMenuTitle(std::string_view Display);
  void AddMenuItem(std::string_view Display, std::string_view OnClick, std::string_view ImagePath);
  // The given one-pixel image stretched to Width less 10 pixels.
  void AddHorizontalRule(std::string_view ImagePath_1x1Pixel);

  // The hidden menu table with every row added so far, and its script.
  std::string EmbedPopupMenu();

 private:
  friend struct PopupMenuFields;  // lets tests look at the rows gathered so far

  std::string BuildDefaultOnMouseOver() const;
  std::string BuildDefaultOnMouseOut() const;
  std::int16_t NextRowCount() const;

  // Initialised in this order: the handlers are built from the colours and
  // the border width above them.
  std::int16_t BorderWidth = 1;
  std::string BorderColor = "000000";
  std::string BGColor = "e4e4e4";
  std::int16_t Width = 150;
  std::int16_t FontSize = 8;
  std::string OnMouseOver = BuildDefaultOnMouseOver();
  std::string OnMouseOut = BuildDefaultOnMouseOut();
  std::string MenuRows;
  std::int16_t RowCount = 0;
};

extern const ClassBinding kPopupMenuBinding;

}  // namespace vantrel
