#pragma once

#include "frame/fixed_text.h"

namespace vantrel {

// The hover handlers an object starts with, built once at creation. No line
// break follows them: they are placed inside an attribute of every item row.
inline constexpr auto kDefaultOnMouseOver = pattern_text<
    R"js(this.style.color='white';this.style.background='navy';this.style.border='@BorderWidth@pt solid #@BorderColor@')js">;

inline constexpr auto kDefaultOnMouseOut = pattern_text<
    R"js(this.style.color='black';this.style.background='#@BGColor@';this.style.border='@BorderWidth@pt solid #@BGColor@')js">;

// A title: centred text, no handlers.
inline constexpr auto kTitleRow = pattern_text<R"html(
<tr>
<td nowrap
Align = center
bgcolor = "@BGColor@"
Style = "border:@BorderWidth@pt solid #@BGColor@;font-size:@FontSize@pt"
>@Display@</td>
</tr>
)html">;

// An item: the icon (always, even with an empty source) and the text, left
// aligned, with the hand cursor, the click handler and the hover handlers.
inline constexpr auto kItemRow = pattern_text<R"html(
<tr>
<td nowrap
Align = Left
bgcolor = "@BGColor@"
OnClick = "@OnClick@"
Style = "cursor:hand;border:@BorderWidth@pt solid #@BGColor@;font-size:@FontSize@pt"
onmouseover = "@OnMouseOver@"
onmouseout = "@OnMouseOut@"
>&nbsp;<img src="@ImagePath@" border=0 width=12 height=12 align="absmiddle">&nbsp;@Display@</td>
</tr>
)html">;

// A rule: a one-pixel image stretched to the menu width less 10 pixels.
inline constexpr auto kRuleRow = pattern_text<R"html(
<tr>
<td nowrap
Align = center
bgcolor = "@BGColor@"
Style = "border:@BorderWidth@pt solid #@BGColor@;font-size:@FontSize@pt"
><img border=0 height=1 width="@RuleWidth@" src="@ImagePath_1x1Pixel@"></td>
</tr>
)html">;

// The hidden menu table holding the rows (their own lines end in CR LF, so an
// empty line follows the last row), and the script that copies it into a
// popup shown 10 pixels right of and below the pointer on a right-click, in
// place of the browser's own menu.
inline constexpr auto kPopupMenu = pattern_text<R"html(
<DIV ID="oContextHTML" STYLE="display:none;">
<table STYLE="border:@BorderWidth@pt solid #@BorderColor@" BGCOLOR="#@BGColor@" width=@Width@ height="@MenuHeight@" cellpadding=0 cellspacing=1>
@MenuRows@
</table>
</DIV>
<SCRIPT LANGUAGE="JavaScript">
var oPopup = window.createPopup();
function contextMenu()
{
var lefter = event.clientX + 10;
var topper = event.clientY + 10;
oPopup.document.body.innerHTML = oContextHTML.innerHTML;
oPopup.show(lefter, topper, @Width@, @MenuHeight@, document.body);
}
document.oncontextmenu = function() { contextMenu(); return false; }
</SCRIPT>
)html">;

}  // namespace vantrel
