// A side menu of two groups of links with the collapse-all and expand-all
// controls above it. Every group starts closed; a click on its folder image
// or its heading opens or closes it.
Response.Write("<html><body>\r\n");

var tree = Server.CreateObject("Vantrel.Tree");
tree.Width = "200";
tree.TextClass = "menu";

// The first call carries the client script; later calls only their markup.
Response.Write(tree.WriteExpandCollapse());

Response.Write(tree.WriteMenuHeader("Reports"));
Response.Write(tree.WriteNode("Sales by region", "reports/sales.asp", "main", "/images/icons/chart.gif"));
Response.Write(tree.WriteNode("Stock levels", "reports/stock.asp", "main"));
Response.Write(tree.WriteMenuFooter());

Response.Write(tree.WriteMenuHeader("Administration"));
Response.Write(tree.WriteNode("Users", "admin/users.asp", "main"));
Response.Write(tree.WriteNode("Help", "help/index.html", "_blank", ""));
Response.Write(tree.WriteMenuFooter());

Response.Write("</body></html>\r\n");
