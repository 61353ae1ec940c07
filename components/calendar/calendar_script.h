#pragma once

#include <string_view>

#include "frame/fixed_text.h"

namespace vantrel {

// The client date functions both calendars use: calContextMenu shows markup in
// the page's popup beside the mouse; the others take a month counted from 1
// (any whole number: 0 is December of the year before, 13 January of the year
// after) and a year, and let the browser's date arithmetic normalise them.
inline constexpr std::string_view kDateScript = crlf_text<R"js(
<SCRIPT LANGUAGE=JavaScript>
function calContextMenu(html)
{
    var lefter = event.clientX+10
    var topper = event.clientY+10
    oCalPopUp.document.body.innerHTML = html;
    oCalPopUp.show(lefter, topper, 140, 155, document.body);
}

function getDaysInMonth(whichMonth, whichYear) {
    var totDays = new Date(whichYear, whichMonth, 0);
    return totDays.getDate();
}

function getFirstDayInMonth(whichMonth, whichYear) {
    var firstDay = new Date(whichYear, whichMonth-1, 1);
    return firstDay.getDay();
}

function displayMonth(whichMonth, whichYear) {
    var arMonthsInYear = new Array("Dec", "Jan","Feb","Mar","Apr","May","Jun","Jul","Aug","Sep","Oct","Nov");
    var retVal = new Date(whichYear, whichMonth, 1);
    return arMonthsInYear[retVal.getMonth()];
}

function displayMonthNumber(whichMonth, whichYear) {
    var retVal = new Date(whichYear, whichMonth, 1);
    if (parseFloat(retVal.getMonth()) == 0) return 12;
    return retVal.getMonth();
}

function displayYear(whichMonth, whichYear) {
    var retVal = new Date(whichYear, whichMonth-1, 1);
    return retVal.getFullYear();
}

</SCRIPT>
)js">;

// buildCal: the month grid of an embedded calendar. The arrows rebuild it in
// place, in the element whose id is calName; a day calls the page's function
// calName_OnClick with the day's text ("2/14/2003"); the Today row does both.
// Kept as pages know it, irregular lines included: five spaces before the
// next-year handler, no semicolon after the header row, 17 spaces before the
// colour test, and no space before the Today cell's onclick.
inline constexpr std::string_view kEmbeddedScript = crlf_text<R"js(
<SCRIPT LANGUAGE=JavaScript>
function buildCal(whichMonth, whichYear, calName) {
    var daysInMonth = getDaysInMonth(whichMonth, whichYear);
    var firstDayInMonth = getFirstDayInMonth(whichMonth, whichYear);
    var i;
    var j;
    var counter = 0;
    var nextMonthCounter = 0;
    var html;
    var arDayHeaders = new Array("S","M","T","W","T","F","S");
    var arCal = new Array( new Array(6), new Array(6), new Array(6), new Array(6), new Array(6), new Array(6) );
    var calToday = new Date();
    var calDayColor = "A1A1A1";
    for (i=0; i<=5; i++) {
        for (j=0; j<=6; j++) {
            counter++;
            if ( counter > firstDayInMonth && counter <= (daysInMonth + firstDayInMonth) ) {
                arCal[i][j] = displayMonthNumber(whichMonth, whichYear) + "/" + (counter - firstDayInMonth) + "/" + displayYear(whichMonth, whichYear);
            }else{
                if (counter < 7) {
                    arCal[i][j] = displayMonthNumber(whichMonth-1, whichYear) + "/" + (parseFloat(getDaysInMonth(whichMonth-1, whichYear)) - parseFloat((firstDayInMonth - counter))) + "/" + displayYear(whichMonth-1, whichYear);
                }else{
                    nextMonthCounter++;
                    arCal[i][j] = displayMonthNumber(whichMonth+1, whichYear) + "/" + parseFloat(nextMonthCounter) + "/" + displayYear(whichMonth+1, whichYear);
                }
            }
        }
    }
    html = "";
    html += "<table BGCOLOR=\"#e4e4e4\" width=\"140\" height=\"142\" STYLE=\"border:1pt solid #000000\" cellpadding=0 cellspacing=1>";
    html += "<tr><td colspan=7 width=\"100%\" height=1 valign=\"top\">";
    html += "<table BGCOLOR=\"#a1a1a1\" width=\"100%\" STYLE=\"border:1pt solid #000000\" cellpadding=0 cellspacing=0>";
    html += "<tr>";
    html += "<td nowrap style=\"cursor:hand\" width=1 align=\"right\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
    html += "onclick=\"" + calName + ".innerHTML = buildCal(" + parseFloat(whichMonth-1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
    html += "<<&nbsp;";
    html += "</td>";
    html += "<td style=\"cursor:hand\" nowrap align=\"center\" height=1 valign=\"top\" style=\"font-size:8pt\">";
    html += "<font color=white>" + displayMonth(whichMonth, whichYear) + "</font>";
    html += "</td>";
    html += "<td nowrap style=\"cursor:hand\" width=1 align=\"left\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
    html += "onclick=\"" + calName + ".innerHTML = buildCal(" + parseFloat(whichMonth+1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
    html += "&nbsp;>>";
    html += "</td>";
    html += "<td style=\"cursor:hand\" align=\"center\" width=100% height=1 valign=\"top\" style=\"font-size:8pt\"></td>";
    html += "<td style=\"cursor:hand\" width=1 align=\"right\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
    html += "onclick=\"" + calName + ".innerHTML = buildCal(" + parseFloat(whichMonth-12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
    html += "<<&nbsp;";
    html += "</td>";
    html += "<td style=\"cursor:hand\" align=\"center\" height=1 valign=\"top\" style=\"font-size:8pt\">";
    html += "<font color=white>" + displayYear(whichMonth, whichYear) + "</font>";
    html += "</td>";
    html += "<td style=\"cursor:hand\" width=1 align=\"left\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
     html += "onclick=\"" + calName + ".innerHTML = buildCal(" + parseFloat(whichMonth+12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
    html += "&nbsp;>>";
    html += "</td>";
    html += "</tr>";
    html += "</table>";
    html += "</td></tr>";
    html += "<tr>";
    for (i=0; i<=6; i++) {
        html += "<td style=\"cursor:hand\" align=\"center\" width=\"20\" height=1 valign=\"top\" style=\"font-size:8pt\">";
        html += arDayHeaders[i];
        html += "</td>";
    }
    html += "</tr>"
    for (i=0; i<=5; i++) {
        html += "<tr>";
        for (j=0; j<=6; j++) {
            html += "<td STYLE=\"border:1pt solid #000000; cursor:hand\" align=\"center\" width=\"20\" height=1 valign=\"top\" style=\"font-size:8pt\" ";
            html += " onclick=\"" + calName + "_OnClick('" + arCal[i][j] + "');\" >";
            if (arCal[i][j].split("/")[1] == 1) {
                 if (calDayColor == "A1A1A1"){
                    calDayColor = "000000";
                }else{
                    calDayColor = "A1A1A1";
                }
            }
            if ( calToday.getMonth() + 1 == arCal[i][j].split("/")[0] && calToday.getDate() == arCal[i][j].split("/")[1] && calToday.getFullYear() == arCal[i][j].split("/")[2] ) {
                html += "<font color='FF0000'>";
            }else{
                html += "<font color='" + calDayColor + "'>";
            }
            html += arCal[i][j].split("/")[1];
            html += "</font>";
            html += "</td>";
        }
        html += "</tr>";
    }
    html += "<tr>";
    html += "<td align=\"center\" BGCOLOR=\"#a1a1a1\" colspan=7 STYLE=\"border:1pt solid #000000; cursor:hand; font-size:8pt\"";
    html += "onclick=\"" + calName + ".innerHTML = buildCal(" + parseFloat(calToday.getMonth()+1) + ", " + parseFloat(calToday.getFullYear()) + ",'" + calName + "'); " + calName + "_OnClick('" + parseFloat(calToday.getMonth() + 1) + "/" + calToday.getDate() + "/" + calToday.getFullYear() + "');\">";
    html += "[ <font color=white>Today</font> ]";
    html += "</td>";
    html += "</tr>";
    html += "</table>";
    return html;
}
</script>
)js">;

// The page's one popup (oCalPopUp) and buildPopupCal: the grid of buildCal
// indented by four more spaces, with handlers that rebuild the popup's own
// content and write the chosen day into the field calName of the page's first
// form. The blank line between the colour switch and the colour test holds 16
// spaces.
inline constexpr std::string_view kPopupScript = crlf_text<R"js(
<script language="JavaScript">
    var oCalPopUp = window.createPopup();
    function buildPopupCal(whichMonth, whichYear, calName) {
        var daysInMonth = getDaysInMonth(whichMonth, whichYear);
        var firstDayInMonth = getFirstDayInMonth(whichMonth, whichYear);
        var i;
        var j;
        var counter = 0;
        var nextMonthCounter = 0;
        var html;
        var arDayHeaders = new Array("S","M","T","W","T","F","S");
        var arCal = new Array( new Array(6), new Array(6), new Array(6), new Array(6), new Array(6), new Array(6) );
        var calToday = new Date();
        var calDayColor = "A1A1A1";
        for (i=0; i<=5; i++) {
            for (j=0; j<=6; j++) {
                counter++;
                if ( counter > firstDayInMonth && counter <= (daysInMonth + firstDayInMonth) ) {
                    arCal[i][j] = displayMonthNumber(whichMonth, whichYear) + "/" + (counter - firstDayInMonth) + "/" + displayYear(whichMonth, whichYear);
                }else{
                    if (counter < 7) {
                        arCal[i][j] = displayMonthNumber(whichMonth-1, whichYear) + "/" + (parseFloat(getDaysInMonth(whichMonth-1, whichYear)) - parseFloat((firstDayInMonth - counter))) + "/" + displayYear(whichMonth-1, whichYear);
                    }else{
                        nextMonthCounter++;
                        arCal[i][j] = displayMonthNumber(whichMonth+1, whichYear) + "/" + parseFloat(nextMonthCounter) + "/" + displayYear(whichMonth+1, whichYear);
                    }
                }
            }
        }
        html = "";
        html += "<table BGCOLOR=\"#e4e4e4\" width=\"140\" height=\"142\" STYLE=\"border:1pt solid #000000\" cellpadding=0 cellspacing=1>";
        html += "<tr><td colspan=7 width=\"100%\" height=1 valign=\"top\">";
        html += "<table BGCOLOR=\"#a1a1a1\" width=\"100%\" STYLE=\"border:1pt solid #000000\" cellpadding=0 cellspacing=0>";
        html += "<tr>";
        html += "<td nowrap style=\"cursor:hand\" width=1 align=\"right\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
        html += "onclick=\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth-1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
        html += "<<&nbsp;";
        html += "</td>";
        html += "<td style=\"cursor:hand\" nowrap align=\"center\" height=1 valign=\"top\" style=\"font-size:8pt\">";
        html += "<font color=white>" + displayMonth(whichMonth, whichYear) + "</font>";
        html += "</td>";
        html += "<td nowrap style=\"cursor:hand\" width=1 align=\"left\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
        html += "onclick=\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth+1) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
        html += "&nbsp;>>";
        html += "</td>";
        html += "<td style=\"cursor:hand\" align=\"center\" width=100% height=1 valign=\"top\" style=\"font-size:8pt\"></td>";
        html += "<td style=\"cursor:hand\" width=1 align=\"right\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
        html += "onclick=\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth-12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
        html += "<<&nbsp;";
        html += "</td>";
        html += "<td style=\"cursor:hand\" align=\"center\" height=1 valign=\"top\" style=\"font-size:8pt\">";
        html += "<font color=white>" + displayYear(whichMonth, whichYear) + "</font>";
        html += "</td>";
        html += "<td style=\"cursor:hand\" width=1 align=\"left\" height=1 valign=\"top\" style=\"font-size:10pt\" ";
        html += "onclick=\"window.parent.oCalPopUp.document.body.innerHTML = window.parent.buildPopupCal(" + parseFloat(whichMonth+12) + ", " + parseFloat(whichYear) + ",'" + calName + "');\">";
        html += "&nbsp;>>";
        html += "</td>";
        html += "</tr>";
        html += "</table>";
        html += "</td></tr>";
        html += "<tr>";
        for (i=0; i<=6; i++) {
            html += "<td style=\"cursor:hand\" align=\"center\" width=\"20\" height=1 valign=\"top\" style=\"font-size:8pt\">";
            html += arDayHeaders[i];
            html += "</td>";
        }
        html += "</tr>"
        for (i=0; i<=5; i++) {
            html += "<tr>";
            for (j=0; j<=6; j++) {
                html += "<td STYLE=\"border:1pt solid #000000; cursor:hand\" align=\"center\" width=\"20\" height=1 valign=\"top\" style=\"font-size:8pt\" ";
                html += " onclick=\"window.parent.document.forms[0]." + calName + ".value='" + arCal[i][j] + "'; window.parent.oCalPopUp.hide();\" >";
                if (arCal[i][j].split("/")[1] == 1) {
                    if (calDayColor == "A1A1A1"){
                        calDayColor = "000000";
                    }else{
                        calDayColor = "A1A1A1";
                    }
                }
                
                if ( calToday.getMonth() + 1 == arCal[i][j].split("/")[0] && calToday.getDate() == arCal[i][j].split("/")[1] && calToday.getFullYear() == arCal[i][j].split("/")[2] ) {
                    html += "<font color='FF0000'>";
                }else{
                    html += "<font color='" + calDayColor + "'>";
                }
                html += arCal[i][j].split("/")[1];
                html += "</font>";
                html += "</td>";
            }
            html += "</tr>";
        }
        html += "<tr>";
        html += "<td align=\"center\" BGCOLOR=\"#a1a1a1\" colspan=7 STYLE=\"border:1pt solid #000000; cursor:hand; font-size:8pt\"";
        html += " onclick=\"window.parent.document.forms[0]." + calName + ".value='" + parseFloat(calToday.getMonth() + 1) + "/" + calToday.getDate() + "/" + calToday.getFullYear() + "'; window.parent.oCalPopUp.hide();\" >";
        html += "[ <font color=white>Today</font> ]";
        html += "</td>";
        html += "</tr>";
        html += "</table>";
        return html;
    }
</script>
)js">;

// An embedded calendar: the DIV named calName and the script that writes the
// grid of the active month into it while the page loads.
inline constexpr auto kEmbeddedCalendar = pattern_text<R"html(
<DIV ID="@calName@">
<Script language="JavaScript">
var today = new Date();
document.write( buildCal(@ActiveMonth@, @ActiveYear@, '@calName@') );
</script>
</DIV>
)html">;

// A popup calendar: the read-only date field and the button image that opens
// the grid of the active month beside the mouse. No line break follows.
inline constexpr auto kPopupCalendar = pattern_text<
    R"html(<input value="@ActiveDateText@" readonly type="text" size="10" name="@calName@">&nbsp;<img style="cursor:hand" onclick="calContextMenu(buildPopupCal(@ActiveMonth@, @ActiveYear@, '@calName@')); return false;" border="0" src="@ImageURLText@" WIDTH="16" HEIGHT="15">)html">;

}  // namespace vantrel
