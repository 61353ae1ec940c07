'use strict';
// The showcase page (examples/showcase.js) served by a plain Node.js http
// server that renders it per request with template literals: the peer that
// bench/serve measures `vantrel serve` against. The bytes are the same as
// those `vantrel serve` sends for the page (bench/serve checks with cmp).
//
//   node bench/peers/showcase_server.js [PORT]    (no PORT or 0: a free port)
//
// Prints the URL of the page once it listens on 127.0.0.1.

const http = require('http');

const showcase = {
  steps: 3,
  barColor: '0000ff',
  treeWidth: '180',
  menu: 'Orders',
  nodes: [
    {text: 'New order', url: 'order.asp', target: '_self'},
    {text: 'Search', url: 'search.asp', target: '_self'},
  ],
  action: 'order.asp',
  stateList: 'StateList',
  states: ['Alabama', 'Alaska', 'Arizona'],
  stateField: 'State',
  dateField: 'DeliveryDate',
  date: '02/14/2003',
  month: 2,
  year: 2003,
  tabWidth: 100,
  panelWidth: 400,
  panelHeight: 240,
  tabs: [
    {name: 'open', url: 'open.asp', title: 'Open orders'},
    {name: 'shipped', url: 'shipped.asp', title: 'Shipped'},
  ],
  menuItems: [
    {text: 'New order', action: "parent.location.href='order.asp'", image: 'images/new.gif'},
    {text: 'Print', action: 'parent.print()', image: 'images/print.gif'},
  ],
  ruleImage: 'images/pixel.gif',
};

const tabColors = ['#e0e0e0', '#EFEFEF'];

function progressCells() {
  let cells = '';
  for (let i = 1; i <= 100; i++) cells += `<span id="progress${i}"><img src='' width=2 height=5></span>`;
  return cells;
}

function menuItem(item) {
  return `<tr>\r
<td nowrap\r
Align = Left\r
bgcolor = "e4e4e4"\r
OnClick = "${item.action}"\r
Style = "cursor:hand;border:1pt solid #e4e4e4;font-size:8pt"\r
onmouseover = "this.style.color='white';this.style.background='navy';this.style.border='1pt solid #000000'"\r
onmouseout = "this.style.color='black';this.style.background='#e4e4e4';this.style.border='1pt solid #e4e4e4'"\r
>&nbsp;<img src="${item.image}" border=0 width=12 height=12 align="absmiddle">&nbsp;${item.text}</td>\r
</tr>\r
`;
}

function render(d) {
  return `<html><body>\r
<SCRIPT LANGUAGE="JavaScript">\r
function hideIt() {\r
document.getElementById('progress').style.display = 'none'; }\r
var progressEnd = ${d.steps};\r
var progressColor = '${d.barColor}';\r
var progressAt;\r
function progress_clear() {\r
for (var i = 1; i <= 100; i++) {\r
document.getElementById('progress'+i).style.backgroundColor = 'transparent';\r
}\r
}\r
function progress_update(progressIndex) {\r
progressAt = Math.floor(100 * parseFloat(progressIndex) / parseFloat(progressEnd));\r
if (progressAt < 0) progressAt = 0;\r
if (progressAt > 100) progressAt = 100;\r
progress_clear();\r
if (progressAt != 0) {\r
for (var i = 1; i <= progressAt; i++) {\r
document.getElementById('progress'+i).style.backgroundColor = progressColor;\r
}\r
Display.innerHTML = "<font style='FONT-SIZE: 10pt'>" + progressAt + "&nbsp;%</font>";\r
}else{\r
Display.innerHTML = "<font style='FONT-SIZE: 10pt'>" + 0 + "&nbsp;%</font>";\r
}\r
}\r
window.onload=hideIt;\r
</script>\r
<div id="progress">\r
<table border=0><tr><td><div style="padding:2px;border:solid black 1px;">\r
${progressCells()}</div></td><td id=Display align=left><font style="FONT-SIZE: 10pt">0&nbsp;%</font></td></tr></table>\r
</div>\r
<div id="page">\r
<script language="JavaScript">\r
function changeTableRow(image, tableName) {\r
if (document.all[image].src.indexOf("/images/icons/FolderOpen.gif") != -1) {\r
document.all[tableName].rows[1].style.display = "none";\r
document.all[image].src = "/images/icons/FolderClosed.gif";\r
} else {\r
document.all[tableName].rows[1].style.display = "block";\r
document.all[image].src = "/images/icons/FolderOpen.gif";\r
}\r
}\r
function expandOrCollapse(which) {\r
var sTable;\r
var sImage;\r
for (var i=0; i<=document.images.length-1; i++) {\r
if (document.images[i].src.indexOf("/images/icons/FolderOpen.gif") != -1 || document.images[i].src.indexOf("/images/icons/FolderClosed.gif") != -1 ) {\r
sTable = "table_" + document.images[i].id.substring(6, document.images[i].id.length);\r
sImage = document.images[i].id\r
if (which == 1) {\r
document.all[sTable].rows[1].style.display = "block";\r
document.all[sImage].src = "/images/icons/FolderOpen.gif";\r
}else{\r
document.all[sTable].rows[1].style.display = "none";\r
document.all[sImage].src = "/images/icons/FolderClosed.gif";\r
}}}}\r
</Script>\r
<IMG alt="Collapse All Menus" id="image_minus" style="cursor:hand" SRC="/images/icons/treeminus.gif" onclick="expandOrCollapse(0);">&nbsp;<IMG alt="Expand All Menus" id="image_plus" style="cursor:hand" SRC="/images/icons/treeplus.gif" onclick="expandOrCollapse(1);">\r
<table id="table_1" border="0" width="${d.treeWidth}" cellpadding="0" cellspacing="1">\r
<tr>\r
<td nowrap colspan="1" width=20 align="center"><img id="image_1" style="cursor:hand" src="/images/icons/FolderClosed.gif" onClick="changeTableRow('image_1', 'table_1')" ></td><td nowrap colspan="1" ID="tblHeading1"><a href="javascript:changeTableRow('image_1', 'table_1')"><font class=>${d.menu}</font></a></td>\r
</tr>\r
<tr style="display:none">\r
<td nowrap></td>\r
<td nowrap width="100%">\r
${d.nodes.map((node) => `<table border="0" width="1" cellpadding="0" cellspacing="1"><tr><td align="center" nowrap colspan="1" width=20></td><td nowrap colspan="1" ID="node2"><a target="${node.target}" href="${node.url}"><font class=>${node.text}</font></a></td></tr></table>\r
`).join('')}</td></tr></table>\r
<SCRIPT LANGUAGE="JavaScript">progress_update(${1});</script>\r
<form action="${d.action}" method="post">\r
<select name="${d.stateList}">${d.states.map((state) => `<option>${state}</option>`).join('')}</select>\r
<script language="JavaScript">\r
function autoComplete(field, select, forceComplete, isLinkedAsText) {\r
var found = false;\r
var textRange;\r
var newTextRange;\r
var oldVal;\r
var newVal;\r
var dispType = isLinkedAsText ? 'text' : 'value';\r
for (var i = 0; i < select.options.length; i++) {\r
if (select.options[i][dispType].toUpperCase().indexOf(field.value.toUpperCase()) == 0) {\r
found=true;\r
break;\r
}\r
}\r
if (found) {\r
select.selectedIndex = i;\r
}else{\r
select.selectedIndex = -1;\r
}\r
if (field.createTextRange) {\r
if (forceComplete && !found) {\r
field.value=field.value.substring(0,field.value.length-1);\r
return;\r
}\r
var cursorKeys ="8;46;37;38;39;40;33;34;35;36;45;";\r
if (cursorKeys.indexOf(event.keyCode+";") == -1) {\r
textRange = field.createTextRange();\r
oldVal = textRange.text;\r
newVal = found ? select.options[i][dispType] : oldVal;\r
if (newVal != field.value) {\r
field.value = newVal;\r
newTextRange = field.createTextRange();\r
newTextRange.moveStart('character', oldVal.length) ;\r
newTextRange.select();\r
}\r
}\r
}\r
}\r
</script>\r
<INPUT TYPE="text" NAME='${d.stateField}' VALUE='' ONKEYUP='autoComplete(this,this.form.${d.stateList}, true, true)'>\r
<SCRIPT LANGUAGE=JavaScript>\r
function calContextMenu(html)\r
{\r
    var lefter = event.clientX+10\r
    var topper = event.clientY+10\r
    oCalPopUp.document.body.innerHTML = html;\r
    oCalPopUp.show(lefter, topper, 140, 155, document.body);\r
}\r
\r
function getDaysInMonth(whichMonth, whichYear) {\r
    var totDays = new Date(whichYear, whichMonth, 0);\r
    return totDays.getDate();\r
}\r
\r
function getFirstDayInMonth(whichMonth, whichYear) {\r
    var firstDay = new Date(whichYear, whichMonth-1, 1);\r
    return firstDay.getDay();\r
}\r
\r
function displayMonth(whichMonth, whichYear) {\r
    var arMonthsInYear = new Array("Dec", "Jan","Feb","Mar","Apr","May","Jun","Jul","Aug","Sep","Oct","Nov");\r
    var retVal = new Date(whichYear, whichMonth, 1);\r
    return arMonthsInYear[retVal.getMonth()];\r
}\r
\r
function displayMonthNumber(whichMonth, whichYear) {\r
    var retVal = new Date(whichYear, whichMonth, 1);\r
    if (parseFloat(retVal.getMonth()) == 0) return 12;\r
    return retVal.getMonth();\r
}\r
\r
function displayYear(whichMonth, whichYear) {\r
    var retVal = new Date(whichYear, whichMonth-1, 1);\r
    return retVal.getFullYear();\r
}\r
\r
</SCRIPT>\r
<script language="JavaScript">\r
    var oCalPopUp = window.createPopup();\r
    function buildPopupCal(whichMonth, whichYear, calName) {\r
        var daysInMonth = getDaysInMonth(whichMonth, whichYear);\r
        var firstDayInMonth = getFirstDayInMonth(whichMonth, whichYear);\r
        var i;\r
        var j;\r
        var counter = 0;\r
        var nextMonthCounter = 0;\r
        var html;\r
        var arDayHeaders = new Array("S","M","T","W","T","F","S");\r
        var arCal = new Array( new Array(6), new Array(6), new Array(6), new Array(6), new Array(6), new Array(6) );\r
        var calToday = new Date();\r
        var calDayColor = "A1A1A1";\r
        for (i=0; i<=5; i++) {\r
            for (j=0; j<=6; j++) {\r
                counter++;\r
                if ( counter > firstDayInMonth && counter <= (daysInMonth + firstDayInMonth) ) {\r
                    arCal[i][j] = displayMonthNumber(whichMonth, whichYear) + "/" + (counter - firstDayInMonth) + "/" + displayYear(whichMonth, whichYear);\r
                }else{\r
                    if (counter < 7) {\r
                        arCal[i][j] = displayMonthNumber(whichMonth-1, whichYear) + "/" + (parseFloat(getDaysInMonth(whichMonth-1, whichYear)) - parseFloat((firstDayInMonth - counter))) + "/" + displayYear(whichMonth-1, whichYear);\r
                    }else{\r
                        nextMonthCounter++;\r
                        arCal[i][j] = displayMonthNumber(whichMonth+1, whichYear) + "/" + parseFloat(nextMonthCounter) + "/" + displayYear(whichMonth+1, whichYear);\r
                    }\r
                }\r
            }\r
        }\r
        html = "";\r
        html += "<table BGCOLOR=\\"#e4e4e4\\" width=\\"140\\" height=\\"142\\" STYLE=\\"border:1pt solid #000000\\" cellpadding=0 cellspacing=1>";\r
        html += "<tr><td colspan=7 width=\\"100%\\" height=1 valign=\\"top\\">";\r
        html += "<table BGCOLOR=\\"#a1a1a1\\" width=\\"100%\\" STYLE=\\"border:1pt solid #000000\\" cellpadding=0 cellspacing=0>";\r
        html += "<tr>";\r
        html += "<td nowrap style=\\"cursor:hand\\" width=1 align=\\"right\\" height=1 valign=\\"top\\" style=\\"font-size:10pt\\" ";\r
        html += "onclick=\\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth-1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\\">";\r
        html += "<<&nbsp;";\r
        html += "</td>";\r
        html += "<td style=\\"cursor:hand\\" nowrap align=\\"center\\" height=1 valign=\\"top\\" style=\\"font-size:8pt\\">";\r
        html += "<font color=white>" + displayMonth(whichMonth, whichYear) + "</font>";\r
        html += "</td>";\r
        html += "<td nowrap style=\\"cursor:hand\\" width=1 align=\\"left\\" height=1 valign=\\"top\\" style=\\"font-size:10pt\\" ";\r
        html += "onclick=\\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth+1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\\">";\r
        html += "&nbsp;>>";\r
        html += "</td>";\r
        html += "<td style=\\"cursor:hand\\" align=\\"center\\" width=100% height=1 valign=\\"top\\" style=\\"font-size:8pt\\"></td>";\r
        html += "<td style=\\"cursor:hand\\" width=1 align=\\"right\\" height=1 valign=\\"top\\" style=\\"font-size:10pt\\" ";\r
        html += "onclick=\\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth-12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\\">";\r
        html += "<<&nbsp;";\r
        html += "</td>";\r
        html += "<td style=\\"cursor:hand\\" align=\\"center\\" height=1 valign=\\"top\\" style=\\"font-size:8pt\\">";\r
        html += "<font color=white>" + displayYear(whichMonth, whichYear) + "</font>";\r
        html += "</td>";\r
        html += "<td style=\\"cursor:hand\\" width=1 align=\\"left\\" height=1 valign=\\"top\\" style=\\"font-size:10pt\\" ";\r
        html += "onclick=\\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth+12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\\">";\r
        html += "&nbsp;>>";\r
        html += "</td>";\r
        html += "</tr>";\r
        html += "</table>";\r
        html += "</td></tr>";\r
        html += "<tr>";\r
        for (i=0; i<=6; i++) {\r
            html += "<td style=\\"cursor:hand\\" align=\\"center\\" width=\\"20\\" height=1 valign=\\"top\\" style=\\"font-size:8pt\\">";\r
            html += arDayHeaders[i];\r
            html += "</td>";\r
        }\r
        html += "</tr>"\r
        for (i=0; i<=5; i++) {\r
            html += "<tr>";\r
            for (j=0; j<=6; j++) {\r
                html += "<td STYLE=\\"border:1pt solid #000000; cursor:hand\\" align=\\"center\\" width=\\"20\\" height=1 valign=\\"top\\" style=\\"font-size:8pt\\" ";\r
                html += " onclick=\\"window.parent.document.forms[0]." + calName + ".value='" + arCal[i][j] + "'; window.parent.oCalPopUp.hide();\\" >";\r
                if (arCal[i][j].split("/")[1] == 1) {\r
                    if (calDayColor == "A1A1A1"){\r
                        calDayColor = "000000";\r
                    }else{\r
                        calDayColor = "A1A1A1";\r
                    }\r
                }\r
                \r
                if ( calToday.getMonth() + 1 == arCal[i][j].split("/")[0] && calToday.getDate() == arCal[i][j].split("/")[1] && calToday.getFullYear() == arCal[i][j].split("/")[2] ) {\r
                    html += "<font color='FF0000'>";\r
                }else{\r
                    html += "<font color='" + calDayColor + "'>";\r
                }\r
                html += arCal[i][j].split("/")[1];\r
                html += "</font>";\r
                html += "</td>";\r
            }\r
            html += "</tr>";\r
        }\r
        html += "<tr>";\r
        html += "<td align=\\"center\\" BGCOLOR=\\"#a1a1a1\\" colspan=7 STYLE=\\"border:1pt solid #000000; cursor:hand; font-size:8pt\\"";\r
        html += " onclick=\\"window.parent.document.forms[0]." + calName + ".value='" + parseFloat(calToday.getMonth() + 1) + "/" + calToday.getDate() + "/" + calToday.getFullYear() + "'; window.parent.oCalPopUp.hide();\\" >";\r
        html += "[ <font color=white>Today</font> ]";\r
        html += "</td>";\r
        html += "</tr>";\r
        html += "</table>";\r
        return html;\r
    }\r
</script>\r
<input value="${d.date}" readonly type="text" size="10" name="${d.dateField}">&nbsp;<img style="cursor:hand" onclick="calContextMenu(buildPopupCal(${d.month}, ${d.year}, '${d.dateField}')); return false;" border="0" src="Calendar.gif" WIDTH="16" HEIGHT="15">\r
</form>\r
<SCRIPT LANGUAGE="JavaScript">progress_update(${2});</script>\r
<script language="JavaScript">\r
<!--\r
function selectTab(n) {\r
var panelID = "p1"\r
var numDiv = 2\r
for(var i=0; i < numDiv; i++) {\r
var panelDiv = window.document.getElementById(panelID+"panel"+i)\r
var tabDiv = document.getElementById(panelID+"tab"+i)\r
if (i==n) {\r
panelDiv.style.zIndex = 1;\r
tabDiv.style.zIndex = 1;\r
}else{\r
panelDiv.style.zIndex = 0;\r
tabDiv.style.zIndex = 0;\r
}\r
}\r
}\r
//-->\r
</script>\r
<style type="text/css">\r
<!--\r
.tab {\r
cursor: hand; font-family: sans-serif; line-height:150%; font-size: 10px; font-weight: bold; position:absolute; text-align: center; border: 2px; border-color:#999999; border-style: outset; border-bottom-style: none; width:${d.tabWidth}px; margin:0px;\r
}\r
.panel {\r
font-family: sans-serif; position:absolute; border: 2px; border-color:#999999; border-style:outset; width:${d.panelWidth}px; height:${d.panelHeight}px; left:0px; top:18px; margin:0px; padding:5px;\r
}\r
-->\r
</style>\r
<div style="background-color: transparent; position: relative;">\r
${d.tabs.map((tab, i) => `<div id='p1panel${i}' class='panel' style='background-color: ${tabColors[i % 2]};  z-index:${d.tabs.length - i}'>\r
<br>\r
<iframe name="${tab.name}" border=1 frameborder=1 src="${tab.url}" width="${d.panelWidth - 17}" height="${d.panelHeight - 20}"></iframe></div>\r
<div onclick="selectTab(${i});" id="p1tab${i}" class="tab" style="background-color:${tabColors[i % 2]}; height:20px; left:${i * d.tabWidth}px; top:0px; z-index:${d.tabs.length - i}">\r
${tab.title}</div>\r
`).join('')}</div>\r
<DIV ID="oContextHTML" STYLE="display:none;">\r
<table STYLE="border:1pt solid #000000" BGCOLOR="#e4e4e4" width=150 height="72" cellpadding=0 cellspacing=1>\r
<tr>\r
<td nowrap\r
Align = center\r
bgcolor = "e4e4e4"\r
Style = "border:1pt solid #e4e4e4;font-size:8pt"\r
>${d.menu}</td>\r
</tr>\r
${menuItem(d.menuItems[0])}<tr>\r
<td nowrap\r
Align = center\r
bgcolor = "e4e4e4"\r
Style = "border:1pt solid #e4e4e4;font-size:8pt"\r
><img border=0 height=1 width="140" src="${d.ruleImage}"></td>\r
</tr>\r
${menuItem(d.menuItems[1])}\r
</table>\r
</DIV>\r
<SCRIPT LANGUAGE="JavaScript">\r
var oPopup = window.createPopup();\r
function contextMenu()\r
{\r
var lefter = event.clientX + 10;\r
var topper = event.clientY + 10;\r
oPopup.document.body.innerHTML = oContextHTML.innerHTML;\r
oPopup.show(lefter, topper, 150, 72, document.body);\r
}\r
document.oncontextmenu = function() { contextMenu(); return false; }\r
</SCRIPT>\r
<SCRIPT LANGUAGE="JavaScript">progress_update(${3});</script>\r
</div>\r
</body></html>\r
`;
}

const port = Number(process.argv[2] || 0);
const server = http.createServer((request, response) => {
  const body = render(showcase);
  response.writeHead(200, {
    'Content-Type': 'text/html; charset=utf-8',
    'Content-Length': Buffer.byteLength(body),
  });
  response.end(body);
});
server.listen(port, '127.0.0.1', () => {
  console.log(`http://127.0.0.1:${server.address().port}/`);
});
