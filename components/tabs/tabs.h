#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A strip of overlapping tabbed panels, each showing a page in an inline
// frame.
class Tabs {
 public:
  void LetIsVisible(bool NewIsVisible);
  std::string GetTabName() const;
  void LetTabName(std::string_view NewTabName);
  std::int16_t GetTabWidth() const;
  void LetTabWidth(std::int16_t NewTabWidth);
  std::int16_t GetPanelWidth() const;
  void LetPanelWidth(std::int16_t NewPanelWidth);
  std::int16_t GetPanelHeight() const;
  void LetPanelHeight(std::int16_t NewPanelHeight);
  std::int16_t GetTabCount() const;
  void LetTabCount(std::int16_t NewTabCount);
  std::string GetLayerColor() const;
  void LetLayerColor(std::string_view NewLayerColor);
  std::string GetJavaScriptOnClick() const;
  void LetJavaScriptOnClick(std::string_view NewJavaScriptOnClick);
  std::string WriteTab(Variant& ContentName, Variant& URL);
  void MoveNextLayerColor();
  void MovePreviousLayerColor();
};

extern const ClassBinding kTabsBinding;

}  // namespace vantrel
