// A strip of five tabbed panels, each a shade lighter than the one before.
var tabNames = ["Overview", "Details", "History", "Orders", "Notes"];

function render() {
  var tabs = Server.CreateObject("Vantrel.Tabs");
  tabs.TabWidth = 90;
  tabs.PanelWidth = 500;
  tabs.PanelHeight = 300;
  tabs.TabCount = tabNames.length;
  Response.Write("<html><body>\r\n");
  for (var i = 0; i < tabNames.length; i++) {
    if (i > 0) tabs.MoveNextLayerColor();
    tabs.TabName = tabNames[i];
    Response.Write(tabs.WriteTab(tabNames[i], tabNames[i].toLowerCase() + ".html"));
  }
  Response.Write("</div>\r\n</body></html>\r\n");
}
