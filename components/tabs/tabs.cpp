#include "components/tabs/tabs.h"

#include <algorithm>

#include "components/tabs/tabs_script.h"
#include "frame/automation_error.h"
#include "frame/checked_arithmetic.h"
#include "frame/output.h"

namespace vantrel {

namespace {

[[noreturn]] void raise_tab_name_empty() {
  throw AutomationError(error_number::kComponent, "OlvinTabs.TABS", "TabName property is empty.");
}

std::string_view display_style(bool visible) { return visible ? "" : kHiddenStyle; }

// Room for a 16-bit number written as decimal text.
constexpr std::size_t kNumberSize = 6;

// The two characters of colour channel `channel` (0 red, 1 green, 2 blue), or
// as many of them as the colour has.
std::string_view channel_digits(std::string_view colour, std::size_t channel) {
  const std::size_t first = 2 * channel;
  return first < colour.size() ? colour.substr(first, 2) : std::string_view();
}

int hex_value(std::string_view digits) {
  if (digits.empty()) raise_type_mismatch();
  int value = 0;
  for (const char c : digits) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      raise_type_mismatch();
    }
    value = value * 16 + digit;
  }
  return value;
}

// The colour with each channel read as hex, stepped, and written as two
// capital hex digits. Raises before anything is returned, so the caller's
// colour stays as it was when a channel cannot be read.
template <class Step>
std::string stepped_colour(std::string_view colour, Step step) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string stepped(6, '0');
  for (std::size_t channel = 0; channel < 3; ++channel) {
    const int value = step(hex_value(channel_digits(colour, channel)));
    stepped[2 * channel] = kHexDigits[value / 16];
    stepped[2 * channel + 1] = kHexDigits[value % 16];
  }
  return stepped;
}

}  // namespace

void Tabs::LetIsVisible(bool NewIsVisible) { IsVisible = NewIsVisible; }
std::string Tabs::GetTabName() const { return TabName; }
void Tabs::LetTabName(std::string_view NewTabName) { TabName = NewTabName; }
std::int16_t Tabs::GetTabWidth() const { return TabWidth; }
void Tabs::LetTabWidth(std::int16_t NewTabWidth) { TabWidth = NewTabWidth; }
std::int16_t Tabs::GetPanelWidth() const { return PanelWidth; }
void Tabs::LetPanelWidth(std::int16_t NewPanelWidth) { PanelWidth = NewPanelWidth; }
std::int16_t Tabs::GetPanelHeight() const { return PanelHeight; }
void Tabs::LetPanelHeight(std::int16_t NewPanelHeight) { PanelHeight = NewPanelHeight; }
std::int16_t Tabs::GetTabCount() const { return TabCount; }
void Tabs::LetTabCount(std::int16_t NewTabCount) { TabCount = NewTabCount; }
std::string Tabs::GetLayerColor() const { return LayerColor; }
void Tabs::LetLayerColor(std::string_view NewLayerColor) { LayerColor = NewLayerColor; }
std::string Tabs::GetJavaScriptOnClick() const { return JavaScriptOnClick; }
void Tabs::LetJavaScriptOnClick(std::string_view NewJavaScriptOnClick) {
  JavaScriptOnClick = NewJavaScriptOnClick;
}

std::string Tabs::WriteTab(Variant& ContentName, Variant& URL) {
  if (TabName.empty()) raise_tab_name_empty();

  // Every value is worked out, in the order the markup uses it, before
  // anything is written or any field changes: a call that raises leaves the
  // object as it was, so the next call writes the same index, and the strip
  // header if it is still due.
  ConvertedText content_name_text, url_text;
  const std::int16_t index = add16(CurrentTab, 1);
  const std::int16_t stacking_order = sub16(TabCount, index);  // the first tab in front
  const std::string_view content_name = inserted_text(ContentName, content_name_text);
  const std::string_view url = inserted_text(URL, url_text);
  const std::int16_t frame_width = sub16(PanelWidth, 17);
  const std::int16_t frame_height = sub16(PanelHeight, 20);
  const std::int16_t left = mul16(TabWidth, index);  // labels side by side

  const std::string_view display = display_style(IsVisible);
  // The tab alone is sized by its fill; a strip header and its first tab
  // are made room for together. The numbers are written where they go, each
  // time: for the short numbers of a strip that costs less than writing each
  // once and copying it.
  std::string text;
  if (!HeaderWritten) {
    text.reserve(kStripHeader.fixed_size + 4 * kNumberSize + kTab.fixed_size +
                 2 * (LayerColor.size() + display.size()) + content_name.size() + url.size() +
                 JavaScriptOnClick.size() + TabName.size() + 8 * kNumberSize);
    Output::append_filled<kStripHeader>(text, TabCount, TabWidth, PanelWidth, PanelHeight);
  }
  Output::append_filled<kTab>(text, index, LayerColor, stacking_order, display, content_name, url,
                              frame_width, frame_height, index, JavaScriptOnClick, index,
                              LayerColor, left, stacking_order, display, TabName);

  CurrentTab = index;
  HeaderWritten = true;
  JavaScriptOnClick.clear();
  IsVisible = true;
  return text;
}

void Tabs::MoveNextLayerColor() {
  LayerColor = stepped_colour(LayerColor, [](int value) { return std::min(value + 15, 255); });
}

void Tabs::MovePreviousLayerColor() {
  LayerColor = stepped_colour(LayerColor, [](int value) { return value < 15 ? 255 : value - 15; });
}

}  // namespace vantrel
