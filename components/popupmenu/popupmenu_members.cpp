#include "components/popupmenu/popupmenu.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    property_let<&PopupMenu::LetBorderColor>("BorderColor", 0x68030004, "NewBorderColor"),
    property_let<&PopupMenu::LetWidth>("Width", 0x68030003, "NewWidth"),
    property_let<&PopupMenu::LetBGColor>("BGColor", 0x68030002, "NewBGColor"),
    property_let<&PopupMenu::LetOnMouseOver>("OnMouseOver", 0x68030001, "NewOnMouseOver"),
    property_let<&PopupMenu::LetOnMouseOut>("OnMouseOut", 0x68030000, "NewOnMouseOut"),
    method<&PopupMenu::AddMenuTitle>("AddMenuTitle", 0x60030006, {"Display"}),
    method<&PopupMenu::AddMenuItem>("AddMenuItem", 0x60030007, {"Display", "OnClick", "ImagePath"}),
    method<&PopupMenu::AddHorizontalRule>("AddHorizontalRule", 0x60030008, {"ImagePath_1x1Pixel"}),
    method<&PopupMenu::EmbedPopupMenu>("EmbedPopupMenu", 0x60030009),
};
}  // namespace

constinit const ClassBinding kPopupMenuBinding = bind_class<PopupMenu>(kMembers);

}  // namespace vantrel
