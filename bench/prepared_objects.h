#pragma once

#include <cstdint>
#include <string_view>

#include "components/popupmenu/popupmenu.h"
#include "components/progressbar/progressbar.h"
#include "components/tabs/tabs.h"

// Objects set up the way pages set them up, shared by the benchmarks and the
// goal table so that both measure the same outputs.
namespace vantrel::bench {

// A strip of `tab_count` tabs named "Overview", panels of 500 by 300.
inline Tabs tab_strip(std::int16_t tab_width = 90, std::int16_t tab_count = 5) {
  Tabs tabs;
  tabs.LetTabName("Overview");
  tabs.LetTabWidth(tab_width);
  tabs.LetPanelWidth(500);
  tabs.LetPanelHeight(300);
  tabs.LetTabCount(tab_count);
  return tabs;
}

// A menu as pages build them: a title, then items with a rule now and then.
inline void add_menu_rows(PopupMenu& menu, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    if (i % 10 == 0) {
      menu.AddMenuTitle("Section");
    } else if (i % 10 == 9) {
      menu.AddHorizontalRule("images/pixel.gif");
    } else {
      menu.AddMenuItem("Open the order", "parent.location.href='order.asp'", "images/open.gif");
    }
  }
}

// A bar of 250 steps in green.
inline ProgressBar configured_bar() {
  ProgressBar bar;
  Variant max(std::int32_t{250}), color(std::string_view("008000"));
  bar.LetMax(max);
  bar.LetColor(color);
  return bar;
}

}  // namespace vantrel::bench
