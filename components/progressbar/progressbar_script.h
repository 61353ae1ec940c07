#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "frame/fixed_text.h"

namespace vantrel {

// The client script of Show, down to the line before "</script>". The bar's
// end value and the colour of filled cells are written into it.
//
// progress_update works out the share in whole percent as
// floor(100 * value / end). For the 32-bit values SetValue writes, 100 * value
// is exact and the one division lands on the right side of every whole
// number; dividing twice (100 / (end / value)) falls just below it for values
// such as 11 of 100, and parseInt reads a tiny share such as 4.6e-8 as 4.
// The label shows that same whole number, so it always matches the filled
// cells (scaling it by 100 and back turned 29 into 28.999...).
inline constexpr auto kShowScript = pattern_text<R"js(
<SCRIPT LANGUAGE="JavaScript">
function hideIt() {
document.getElementById('progress').style.display = 'none'; }
var progressEnd = @Max@;
var progressColor = '@Color@';
var progressAt;
function progress_clear() {
for (var i = 1; i <= 100; i++) {
document.getElementById('progress'+i).style.backgroundColor = 'transparent';
}
}
function progress_update(progressIndex) {
progressAt = Math.floor(100 * parseFloat(progressIndex) / parseFloat(progressEnd));
if (progressAt < 0) progressAt = 0;
if (progressAt > 100) progressAt = 100;
progress_clear();
if (progressAt != 0) {
for (var i = 1; i <= progressAt; i++) {
document.getElementById('progress'+i).style.backgroundColor = progressColor;
}
Display.innerHTML = "<font style='FONT-SIZE: 10pt'>" + progressAt + "&nbsp;%</font>";
}else{
Display.innerHTML = "<font style='FONT-SIZE: 10pt'>" + 0 + "&nbsp;%</font>";
}
}
)js">;

// The end value written when no maximum is set.
inline constexpr int kDefaultProgressEnd = 100;

// Installs hideIt as the load handler: the bar goes once the page has loaded.
inline constexpr std::string_view kHideBarAfterLoading = crlf_text<R"js(
window.onload=hideIt;
)js">;

// HideOutput's two lines. Show ends with the first when it hides the page.
inline constexpr std::string_view kHidePage = crlf_text<R"js(
<Script Language="JavaScript">document.getElementById('page').style.display = 'none';</Script>
)js">;
inline constexpr std::string_view kShowPage = crlf_text<R"js(
<Script Language="JavaScript">document.getElementById('page').style.display = 'block';</Script>
)js">;

// SetValue's line: one call of progress_update with the stored value.
inline constexpr auto kUpdateScript = pattern_text<R"js(
<SCRIPT LANGUAGE="JavaScript">progress_update(@Value@);</script>
)js">;

namespace progressbar_detail {

inline constexpr int kCellCount = 100;

// One cell of the bar; n runs from 1 to 100.
inline constexpr auto kCell =
    pattern_text<R"html(<span id="progress@n@"><img src='' width=2 height=5></span>)html">;

// The end of the script, the bar and the opening of the page division. The
// 100 cells stand side by side on the line that starts with "@cells@".
inline constexpr auto kBar = pattern_text<R"html(
</script>
<div id="progress">
<table border=0><tr><td><div style="padding:2px;border:solid black 1px;">
@cells@</div></td><td id=Display align=left><font style="FONT-SIZE: 10pt">0&nbsp;%</font></td></tr></table>
</div>
<div id="page">
)html">;

consteval std::size_t decimal_width(int n) {
  std::size_t width = 1;
  for (; n >= 10; n /= 10) ++width;
  return width;
}

consteval std::size_t bar_size() {
  std::size_t size = kBar.fixed_size;
  for (int n = 1; n <= kCellCount; ++n) size += kCell.fixed_size + decimal_width(n);
  return size;
}

// The end of Show's output, built once by the compiler: kHideBarAfterLoading,
// the bar with its 100 cells written out, and kHidePage, side by side, so
// that each of the four ways Show can end is one run of it.
consteval std::array<char, kHideBarAfterLoading.size() + bar_size() + kHidePage.size()>
build_show_end() {
  std::array<char, kHideBarAfterLoading.size() + bar_size() + kHidePage.size()> out{};
  std::size_t o = 0;
  const auto put = [&](std::string_view text) {
    for (char c : text) out[o++] = c;
  };
  put(kHideBarAfterLoading);
  put(kBar.fragments[0]);
  for (int n = 1; n <= kCellCount; ++n) {
    put(kCell.fragments[0]);
    char digits[4]{};
    std::size_t width = decimal_width(n);
    for (int rest = n, i = static_cast<int>(width) - 1; i >= 0; rest /= 10, --i) {
      digits[i] = static_cast<char>('0' + rest % 10);
    }
    put(std::string_view(digits, width));
    put(kCell.fragments[1]);
  }
  put(kBar.fragments[1]);
  put(kHidePage);
  if (o != out.size()) throw "the bar's size was miscounted";
  return out;
}

inline constexpr auto kShowEndBytes = build_show_end();

}  // namespace progressbar_detail

inline constexpr std::string_view kShowEnd{progressbar_detail::kShowEndBytes.data(),
                                           progressbar_detail::kShowEndBytes.size()};

// Show's ending: the script's end, the bar and the opening of the page
// division, after the load handler when the bar hides once the page has
// loaded, and before the page's hiding when the page hides.
constexpr std::string_view show_end(bool hide_bar, bool hide_output) {
  const std::size_t first = hide_bar ? 0 : kHideBarAfterLoading.size();
  const std::size_t end = kHideBarAfterLoading.size() + progressbar_detail::bar_size() +
                          (hide_output ? kHidePage.size() : 0);
  return kShowEnd.substr(first, end - first);
}

}  // namespace vantrel
