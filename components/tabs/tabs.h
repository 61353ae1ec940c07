#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A strip of overlapping tabbed panels, each showing a page in an inline
// frame. The page sets the strip settings (TabWidth, PanelWidth, PanelHeight,
// TabCount), then for each tab in turn its settings (TabName, and where
// wanted LayerColor, JavaScriptOnClick, IsVisible) and calls WriteTab.
//
// TabName and LayerColor carry over from tab to tab; JavaScriptOnClick and
// IsVisible apply to the next tab only and return to empty and true after
// every WriteTab that completes.
class Tabs {
 public:
  // Let only: whether the next tab's label and panel are shown.
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

  // The next tab: the strip header (first completed call of the object only),
  // the tab's panel with an inline frame named ContentName showing URL, and
  // the tab's label. Raises error 1 from "OlvinTabs.TABS" when TabName is
  // empty, and overflow (6) when a position leaves the Integer range; a call
  // that raises returns nothing and changes no field.
  std::string WriteTab(Variant& ContentName, Variant& URL);

  // Step each channel of LayerColor up by 15, stopping at FF, or down by 15,
  // wrapping below 00 to FF. The result is six capital hex digits; characters
  // after the sixth are dropped. A channel that is missing or not hex raises
  // type mismatch (13) and leaves the colour as it was.
  void MoveNextLayerColor();
  void MovePreviousLayerColor();

 private:
  std::string TabName;
  std::int16_t TabWidth = 0;
  std::int16_t PanelWidth = 0;
  std::int16_t PanelHeight = 0;
  std::string LayerColor = "e0e0e0";
  std::string JavaScriptOnClick;
  std::int16_t TabCount = 0;
  bool HeaderWritten = false;
  std::int16_t CurrentTab = -1;  // index of the last tab written
  bool IsVisible = true;
};

extern const ClassBinding kTabsBinding;

}  // namespace vantrel
