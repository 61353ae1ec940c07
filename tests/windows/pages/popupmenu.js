// PopupMenu: an empty menu, the let-only properties, a menu of a title, items
// and a rule, conversions and overflow, and a second object.
var p = Server.CreateObject("Vantrel.PopupMenu");
attempt(function () { Response.Write(p.EmbedPopupMenu()); });
attempt(function () { Response.Write(p.Width); });
attempt(function () { Response.Write(p.BGColor); });
attempt(function () { p.Width = 40000; });
attempt(function () { p.Width = "narrow"; });
attempt(function () { p.Width = 200; });
attempt(function () { p.BGColor = "#ffffcc"; });
attempt(function () { p.BorderColor = "#999999"; });
attempt(function () { p.OnMouseOver = "this.style.color='red'"; });
attempt(function () { p.OnMouseOut = "this.style.color='black'"; });
attempt(function () { p.AddMenuTitle("Actions"); });
attempt(function () { p.AddMenuItem("Open", "open()", "open.gif"); });
attempt(function () { p.AddHorizontalRule("pixel.gif"); });
attempt(function () { p.AddMenuItem("Close", "close()", ""); });
attempt(function () { p.AddMenuItem("Only two", "x()"); });
attempt(function () { p.AddMenuTitle(null); });
attempt(function () { Response.Write(p.EmbedPopupMenu()); });
attempt(function () { Response.Write(p.EmbedPopupMenu()); });
var q = Server.CreateObject("Vantrel.PopupMenu");
attempt(function () { q.AddMenuTitle(12.5); });
attempt(function () { Response.Write(q.EmbedPopupMenu()); });
