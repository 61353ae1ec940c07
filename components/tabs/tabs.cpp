#include "components/tabs/tabs.h"

#include "components/not_implemented.h"

namespace vantrel {

void Tabs::LetIsVisible(bool) { raise_not_implemented(); }
std::string Tabs::GetTabName() const { raise_not_implemented(); }
void Tabs::LetTabName(std::string_view) { raise_not_implemented(); }
std::int16_t Tabs::GetTabWidth() const { raise_not_implemented(); }
void Tabs::LetTabWidth(std::int16_t) { raise_not_implemented(); }
std::int16_t Tabs::GetPanelWidth() const { raise_not_implemented(); }
void Tabs::LetPanelWidth(std::int16_t) { raise_not_implemented(); }
std::int16_t Tabs::GetPanelHeight() const { raise_not_implemented(); }
void Tabs::LetPanelHeight(std::int16_t) { raise_not_implemented(); }
std::int16_t Tabs::GetTabCount() const { raise_not_implemented(); }
void Tabs::LetTabCount(std::int16_t) { raise_not_implemented(); }
std::string Tabs::GetLayerColor() const { raise_not_implemented(); }
void Tabs::LetLayerColor(std::string_view) { raise_not_implemented(); }
std::string Tabs::GetJavaScriptOnClick() const { raise_not_implemented(); }
void Tabs::LetJavaScriptOnClick(std::string_view) { raise_not_implemented(); }
std::string Tabs::WriteTab(Variant&, Variant&) { raise_not_implemented(); }
void Tabs::MoveNextLayerColor() { raise_not_implemented(); }
void Tabs::MovePreviousLayerColor() { raise_not_implemented(); }

}  // namespace vantrel
