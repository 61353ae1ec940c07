// An embedded calendar: the page, its date script and its grid.
function render() {
  var calendar = Server.CreateObject("Vantrel.Calendar");
  calendar.ActiveDate = "2/14/2003";
  Response.Write("<html><body>\r\n");
  Response.Write(calendar.DisplayEmbedded("cal1"));
  Response.Write("</body></html>\r\n");
}
