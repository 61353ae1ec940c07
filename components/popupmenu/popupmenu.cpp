#include "components/popupmenu/popupmenu.h"

#include "components/popupmenu/popupmenu_script.h"
#include "frame/checked_arithmetic.h"
#include "frame/output.h"

namespace vantrel {

namespace {
// Every row is this many pixels high, whatever its kind.
constexpr std::int16_t kRowHeight = 18;
}  // namespace

std::string PopupMenu::BuildDefaultOnMouseOver() const {
  Output out;
  out.fill<kDefaultOnMouseOver>(BorderWidth, BorderColor);
  return std::move(out).take();
}

std::string PopupMenu::BuildDefaultOnMouseOut() const {
  Output out;
  out.fill<kDefaultOnMouseOut>(BGColor, BorderWidth, BGColor);
  return std::move(out).take();
}

void PopupMenu::LetBorderColor(std::string_view NewBorderColor) { BorderColor = NewBorderColor; }
void PopupMenu::LetWidth(std::int16_t NewWidth) { Width = NewWidth; }
void PopupMenu::LetBGColor(std::string_view NewBGColor) { BGColor = NewBGColor; }
void PopupMenu::LetOnMouseOver(std::string_view NewOnMouseOver) { OnMouseOver = NewOnMouseOver; }
void PopupMenu::LetOnMouseOut(std::string_view NewOnMouseOut) { OnMouseOut = NewOnMouseOut; }

// The row count a new row would bring; raises overflow at 32767 rows, before
// any markup is built.
std::int16_t PopupMenu::NextRowCount() const { return add16(RowCount, 1); }

// Rows are written straight onto the end of MenuRows. The row count is
// checked first, and the writing either appends the whole row or, when
// memory runs out, leaves MenuRows as it was: a call that raises changes
// nothing.
void PopupMenu::AddMenuTitle(std::string_view Display) {
  const std::int16_t rows = NextRowCount();
  Output::append_filled<kTitleRow>(MenuRows, BGColor, BorderWidth, BGColor, FontSize, Display);
  RowCount = rows;
}

void PopupMenu::AddMenuItem(std::string_view Display, std::string_view OnClick,
                            std::string_view ImagePath) {
  const std::int16_t rows = NextRowCount();
  Output::append_filled<kItemRow>(MenuRows, BGColor, OnClick, BorderWidth, BGColor, FontSize,
                                  OnMouseOver, OnMouseOut, ImagePath, Display);
  RowCount = rows;
}

void PopupMenu::AddHorizontalRule(std::string_view ImagePath_1x1Pixel) {
  const std::int16_t rows = NextRowCount();
  const std::int16_t rule_width = sub16(Width, 10);
  Output::append_filled<kRuleRow>(MenuRows, BGColor, BorderWidth, BGColor, FontSize, rule_width,
                                  ImagePath_1x1Pixel);
  RowCount = rows;
}

std::string PopupMenu::EmbedPopupMenu() {
  const std::int16_t menu_height = mul16(RowCount, kRowHeight);
  Output out;
  out.fill<kPopupMenu>(BorderWidth, BorderColor, BGColor, Width, menu_height, MenuRows, Width,
                       menu_height);
  return std::move(out).take();
}

}  // namespace vantrel
