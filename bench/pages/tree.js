// A side menu of five groups of ten links each.
function render() {
  var tree = Server.CreateObject("Vantrel.Tree");
  tree.TextClass = "menu";
  Response.Write("<html><body>\r\n");
  Response.Write(tree.WriteExpandCollapse());
  for (var menu = 1; menu <= 5; menu++) {
    Response.Write(tree.WriteMenuHeader("Group " + menu));
    for (var node = 1; node <= 10; node++) {
      Response.Write(tree.WriteNode("Report " + menu + "." + node, "reports/" + menu + "/" + node + ".asp", "main"));
    }
    Response.Write(tree.WriteMenuFooter());
  }
  Response.Write("</body></html>\r\n");
}
