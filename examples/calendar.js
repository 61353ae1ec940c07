// A page with both calendars of one Calendar object. The popup calendar's
// date field stands inside the page's first form; the embedded calendar
// reports the chosen day to the page's function cal1_OnClick.
var calendar = Server.CreateObject("Vantrel.Calendar");
calendar.ActiveDate = "February 14, 2003";  // held as "02/14/2003"
calendar.ImageURL = "images/calendar.gif";

var page = "<html><body>\r\n";
page += "<script language=\"JavaScript\">\r\n" +
        "function cal1_OnClick(date) {\r\n" +
        "  document.forms[0].Chosen.value = date;\r\n" +
        "}\r\n" +
        "</script>\r\n";
page += "<form>\r\nStart date: ";
Response.Write(page);

// The first call carries the date script and the popup script.
Response.Write(calendar.DisplayPopup("StartDate"));
Response.Write("\r\nChosen below: <input name=\"Chosen\" readonly>\r\n</form>\r\n");

// The date script is out already: this call carries only the grid script.
Response.Write(calendar.DisplayEmbedded("cal1"));
Response.Write("</body></html>\r\n");
