// A page with its own right-click menu: a title, two items, a rule and a
// third item. The menu is 160 pixels wide; the rows are 18 pixels high each.
Response.Write("<html><body>\r\n<p>Right-click anywhere on this page.</p>\r\n");

var menu = Server.CreateObject("Vantrel.PopupMenu");
// Properties first: they apply to the rows added after them.
menu.Width = 160;
menu.AddMenuTitle("Orders");
menu.AddMenuItem("New order", "parent.location.href='order.asp'", "images/new.gif");
menu.AddMenuItem("Print", "parent.print()", "images/print.gif");
menu.AddHorizontalRule("images/pixel.gif");
menu.AddMenuItem("Help", "parent.location.href='help.asp'", "images/help.gif");
Response.Write(menu.EmbedPopupMenu());
Response.Write("</body></html>\r\n");
