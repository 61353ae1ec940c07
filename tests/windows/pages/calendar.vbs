' Calendar: the twin of calendar.js (here with a real date value).
Dim c, d
Set c = Server.CreateObject("Vantrel.Calendar") : Report
Response.Write c.ImageURL & vbCrLf : Report
c.ActiveDate = "2/14/2003" : Report
Response.Write c.ActiveDate & vbCrLf : Report
c.ActiveDate = "not a date" : Report
c.ActiveDate = "" : Report
c.ActiveDate = Null : Report
c.ActiveDate = 5 : Report
Response.Write c.ActiveDate & vbCrLf : Report
c.ActiveDate = DateSerial(2003, 12, 31) + TimeSerial(10, 30, 0) : Report
Response.Write c.ActiveDate & vbCrLf : Report
c.ImageURL = 5 : Report
Response.Write c.ImageURL & vbCrLf : Report
c.ImageURL = Null : Report
c.ImageURL = "img/cal.gif" : Report
Response.Write c.DisplayEmbedded("cal1") : Report
Response.Write c.DisplayEmbedded("cal2") : Report
Response.Write c.DisplayPopup("StartDate") : Report
Response.Write vbCrLf : Report
Response.Write c.DisplayPopup("EndDate") : Report
Response.Write vbCrLf : Report
Set d = Server.CreateObject("Vantrel.Calendar") : Report
d.ActiveDate = "02/01/2004" : Report
d.ImageURL = "" : Report
Response.Write d.DisplayPopup("Other") : Report
Response.Write vbCrLf : Report
Response.Write d.DisplayEmbedded(7) : Report
Response.Write c.ActiveDate & "|" & d.ActiveDate & vbCrLf : Report
