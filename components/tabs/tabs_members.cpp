#include "components/tabs/tabs.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    property_let<&Tabs::LetIsVisible>("IsVisible", 0x68030007, "NewIsVisible"),
    property_get<&Tabs::GetTabName>("TabName", 0x68030006),
    property_let<&Tabs::LetTabName>("TabName", 0x68030006, "NewTabName"),
    property_get<&Tabs::GetTabWidth>("TabWidth", 0x68030005),
    property_let<&Tabs::LetTabWidth>("TabWidth", 0x68030005, "NewTabWidth"),
    property_get<&Tabs::GetPanelWidth>("PanelWidth", 0x68030004),
    property_let<&Tabs::LetPanelWidth>("PanelWidth", 0x68030004, "NewPanelWidth"),
    property_get<&Tabs::GetPanelHeight>("PanelHeight", 0x68030003),
    property_let<&Tabs::LetPanelHeight>("PanelHeight", 0x68030003, "NewPanelHeight"),
    property_get<&Tabs::GetTabCount>("TabCount", 0x68030002),
    property_let<&Tabs::LetTabCount>("TabCount", 0x68030002, "NewTabCount"),
    property_get<&Tabs::GetLayerColor>("LayerColor", 0x68030001),
    property_let<&Tabs::LetLayerColor>("LayerColor", 0x68030001, "NewLayerColor"),
    property_get<&Tabs::GetJavaScriptOnClick>("JavaScriptOnClick", 0x68030000),
    property_let<&Tabs::LetJavaScriptOnClick>("JavaScriptOnClick", 0x68030000,
                                              "NewJavaScriptOnClick"),
    method<&Tabs::WriteTab>("WriteTab", 0x6003000b, {"ContentName", "URL"}),
    method<&Tabs::MoveNextLayerColor>("MoveNextLayerColor", 0x6003000c),
    method<&Tabs::MovePreviousLayerColor>("MovePreviousLayerColor", 0x6003000d),
};
}  // namespace

constinit const ClassBinding kTabsBinding = bind_class<Tabs>(kMembers);

}  // namespace vantrel
