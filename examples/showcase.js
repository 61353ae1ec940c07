// An order page that uses all six components: a progress bar while the page
// is produced, a side menu, a form with type-ahead and a popup calendar, a
// tab strip of reports, and a right-click menu.
Response.Write("<html><body>\r\n");

var bar = Server.CreateObject("Vantrel.ProgressBar");
bar.Max = 3;
Response.Write(bar.Show(false, true));  // the bar goes once the page has loaded

// The side menu.
var tree = Server.CreateObject("Vantrel.Tree");
tree.Width = "180";
Response.Write(tree.WriteExpandCollapse());
Response.Write(tree.WriteMenuHeader("Orders"));
Response.Write(tree.WriteNode("New order", "order.asp", "_self"));
Response.Write(tree.WriteNode("Search", "search.asp", "_self"));
Response.Write(tree.WriteMenuFooter());
Response.Write(bar.SetValue(1));

// The form: a state field completed from its list, and a delivery date.
Response.Write("<form action=\"order.asp\" method=\"post\">\r\n");
Response.Write("<select name=\"StateList\"><option>Alabama</option><option>Alaska</option>" +
               "<option>Arizona</option></select>\r\n");
var completion = Server.CreateObject("Vantrel.AutoComplete");
Response.Write(completion.EmbedAutoComplete("State", "StateList", true, true) + "\r\n");
var calendar = Server.CreateObject("Vantrel.Calendar");
calendar.ActiveDate = "2/14/2003";
Response.Write(calendar.DisplayPopup("DeliveryDate") + "\r\n");
Response.Write("</form>\r\n");
Response.Write(bar.SetValue(2));

// Two reports side by side in a tab strip.
var tabs = Server.CreateObject("Vantrel.Tabs");
tabs.TabWidth = 100;
tabs.PanelWidth = 400;
tabs.PanelHeight = 240;
tabs.TabCount = 2;
tabs.TabName = "Open orders";
Response.Write(tabs.WriteTab("open", "open.asp"));
tabs.TabName = "Shipped";
tabs.MoveNextLayerColor();
Response.Write(tabs.WriteTab("shipped", "shipped.asp"));
Response.Write("</div>\r\n");  // closes the strip's wrapper

// A right-click menu for the whole page.
var menu = Server.CreateObject("Vantrel.PopupMenu");
menu.AddMenuTitle("Orders");
menu.AddMenuItem("New order", "parent.location.href='order.asp'", "images/new.gif");
menu.AddHorizontalRule("images/pixel.gif");
menu.AddMenuItem("Print", "parent.print()", "images/print.gif");
Response.Write(menu.EmbedPopupMenu());
Response.Write(bar.SetValue(3));

Response.Write("</div>\r\n</body></html>\r\n");  // closes the page division of Show
