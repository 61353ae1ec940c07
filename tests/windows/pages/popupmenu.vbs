' PopupMenu: the twin of popupmenu.js.
Dim p, q
Set p = Server.CreateObject("Vantrel.PopupMenu") : Report
Response.Write p.EmbedPopupMenu() : Report
Response.Write p.Width : Report
Response.Write p.BGColor : Report
p.Width = 40000 : Report
p.Width = "narrow" : Report
p.Width = 200 : Report
p.BGColor = "#ffffcc" : Report
p.BorderColor = "#999999" : Report
p.OnMouseOver = "this.style.color='red'" : Report
p.OnMouseOut = "this.style.color='black'" : Report
p.AddMenuTitle "Actions" : Report
p.AddMenuItem "Open", "open()", "open.gif" : Report
p.AddHorizontalRule "pixel.gif" : Report
p.AddMenuItem "Close", "close()", "" : Report
p.AddMenuItem "Only two", "x()" : Report
p.AddMenuTitle Null : Report
Response.Write p.EmbedPopupMenu() : Report
Response.Write p.EmbedPopupMenu : Report
Set q = Server.CreateObject("Vantrel.PopupMenu") : Report
q.AddMenuTitle 12.5 : Report
Response.Write q.EmbedPopupMenu() : Report
