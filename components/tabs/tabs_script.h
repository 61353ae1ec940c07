#pragma once

#include <string_view>

#include "frame/fixed_text.h"

namespace vantrel {

// The strip header, returned once per object in front of its first tab: the
// client function selectTab, which brings tab n and its panel to the front and
// puts every other tab of the strip behind; the style sheet of labels and
// panels; and the wrapper element that labels and panels are positioned
// against (no output of the object closes it).
inline constexpr auto kStripHeader = pattern_text<R"html(
<script language="JavaScript">
<!--
function selectTab(n) {
var panelID = "p1"
var numDiv = @TabCount@
for(var i=0; i < numDiv; i++) {
var panelDiv = window.document.getElementById(panelID+"panel"+i)
var tabDiv = document.getElementById(panelID+"tab"+i)
if (i==n) {
panelDiv.style.zIndex = 1;
tabDiv.style.zIndex = 1;
}else{
panelDiv.style.zIndex = 0;
tabDiv.style.zIndex = 0;
}
}
}
//-->
</script>
<style type="text/css">
<!--
.tab {
cursor: hand; font-family: sans-serif; line-height:150%; font-size: 10px; font-weight: bold; position:absolute; text-align: center; border: 2px; border-color:#999999; border-style: outset; border-bottom-style: none; width:@TabWidth@px; margin:0px;
}
.panel {
font-family: sans-serif; position:absolute; border: 2px; border-color:#999999; border-style:outset; width:@PanelWidth@px; height:@PanelHeight@px; left:0px; top:18px; margin:0px; padding:5px;
}
-->
</style>
<div style="background-color: transparent; position: relative;">
)html">;

// Tab n: its panel, holding the line break above the panel's inline frame
// and the frame itself, with the panel's closing tag on the frame's line;
// then the tab's label, where a click brings the tab to the front and then
// runs the page's own handler text. Display is "; display: none" for a hidden
// tab and empty otherwise.
inline constexpr auto kTab = pattern_text<R"html(
<div id='p1panel@n@' class='panel' style='background-color: #@LayerColor@;  z-index:@StackingOrder@@Display@'>
<br>
<iframe name="@ContentName@" border=1 frameborder=1 src="@URL@" width="@FrameWidth@" height="@FrameHeight@"></iframe></div>
<div onclick="selectTab(@n@);@JavaScriptOnClick@" id="p1tab@n@" class="tab" style="background-color:#@LayerColor@; height:20px; left:@Left@px; top:0px; z-index:@StackingOrder@@Display@">
@TabName@</div>
)html">;

// What a hidden tab adds to the style of its panel and its label.
inline constexpr std::string_view kHiddenStyle = "; display: none";

}  // namespace vantrel
