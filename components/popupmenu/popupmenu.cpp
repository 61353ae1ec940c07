#include "components/popupmenu/popupmenu.h"

#include "components/not_implemented.h"

namespace vantrel {

void PopupMenu::LetBorderColor(std::string_view) { raise_not_implemented(); }
void PopupMenu::LetWidth(std::int16_t) { raise_not_implemented(); }
void PopupMenu::LetBGColor(std::string_view) { raise_not_implemented(); }
void PopupMenu::LetOnMouseOver(std::string_view) { raise_not_implemented(); }
void PopupMenu::LetOnMouseOut(std::string_view) { raise_not_implemented(); }
void PopupMenu::AddMenuTitle(std::string_view) { raise_not_implemented(); }
void PopupMenu::AddMenuItem(std::string_view, std::string_view, std::string_view) {
  raise_not_implemented();
}
void PopupMenu::AddHorizontalRule(std::string_view) { raise_not_implemented(); }
std::string PopupMenu::EmbedPopupMenu() { raise_not_implemented(); }

}  // namespace vantrel
