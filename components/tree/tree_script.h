#pragma once

#include <string_view>

#include "frame/fixed_text.h"

namespace vantrel {

// The client functions that open and close menus: changeTableRow toggles one
// menu, expandOrCollapse opens (1) or closes (anything else) every menu of
// the page. Both tell a menu's state, and a menu image from any other image,
// only by whether the image's address contains the open or the closed folder
// path written into them here. Returned by Initialize.
inline constexpr auto kTreeScript = pattern_text<R"js(
<script language="JavaScript">
function changeTableRow(image, tableName) {
if (document.all[image].src.indexOf("@ExpandedImage@") != -1) {
document.all[tableName].rows[1].style.display = "none";
document.all[image].src = "@CollapsedImage@";
} else {
document.all[tableName].rows[1].style.display = "block";
document.all[image].src = "@ExpandedImage@";
}
}
function expandOrCollapse(which) {
var sTable;
var sImage;
for (var i=0; i<=document.images.length-1; i++) {
if (document.images[i].src.indexOf("@ExpandedImage@") != -1 || document.images[i].src.indexOf("@CollapsedImage@") != -1 ) {
sTable = "table_" + document.images[i].id.substring(6, document.images[i].id.length);
sImage = document.images[i].id
if (which == 1) {
document.all[sTable].rows[1].style.display = "block";
document.all[sImage].src = "@ExpandedImage@";
}else{
document.all[sTable].rows[1].style.display = "none";
document.all[sImage].src = "@CollapsedImage@";
}}}}
</Script>
)js">;

// The collapse-all and expand-all controls, on one line.
inline constexpr auto kTreeExpandCollapse = pattern_text<R"html(
<IMG alt="Collapse All Menus" id="image_minus" style="cursor:hand" SRC="@CollapseAllImage@" onclick="expandOrCollapse(0);">&nbsp;<IMG alt="Expand All Menus" id="image_plus" style="cursor:hand" SRC="@ExpandAllImage@" onclick="expandOrCollapse(1);">
)html">;

// Menu number N: its outer table, the heading row with the folder image and
// the heading link, both toggling the menu, and the opening of the hidden
// second row whose second cell takes the menu's nodes.
inline constexpr auto kTreeMenuHeader = pattern_text<R"html(
<table id="table_@N@" border="0" width="@Width@" cellpadding="0" cellspacing="1">
<tr>
<td nowrap colspan="1" width=20 align="center"><img id="image_@N@" style="cursor:hand" src="@CollapsedImage@" onClick="changeTableRow('image_@N@', 'table_@N@')" ></td><td nowrap colspan="1" ID="tblHeading@N@"><a href="javascript:changeTableRow('image_@N@', 'table_@N@')"><font class=@TextClass@>@MenuName@</font></a></td>
</tr>
<tr style="display:none">
<td nowrap></td>
<td nowrap width="100%">
)html">;

// One link of the open menu, with its image as a second link to the same
// address.
inline constexpr auto kTreeNodeWithImage = pattern_text<R"html(
<table border="0" width="1" cellpadding="0" cellspacing="1"><tr><td align="center" nowrap colspan="1" width=20><a target="@Target@" href="@URI@"><img border=0 style="cursor:hand" src="@ImagePath@"></a></td><td nowrap colspan="1" ID="node@NodeId@"><a target="@Target@" href="@URI@"><font class=@TextClass@>@NodeName@</font></a></td></tr></table>
)html">;

// One link of the open menu, with an empty image cell.
inline constexpr auto kTreeNode = pattern_text<R"html(
<table border="0" width="1" cellpadding="0" cellspacing="1"><tr><td align="center" nowrap colspan="1" width=20></td><td nowrap colspan="1" ID="node@NodeId@"><a target="@Target@" href="@URI@"><font class=@TextClass@>@NodeName@</font></a></td></tr></table>
)html">;

// Closes the cell, the row and the table that the header left open.
inline constexpr std::string_view kTreeMenuFooter = crlf_text<R"html(
</td></tr></table>
)html">;

}  // namespace vantrel
