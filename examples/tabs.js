// A strip of three tabbed panels, each showing another page of the site in
// an inline frame. Clicking a tab brings its panel to the front.
Response.Write("<html><body>\r\n");

var tabs = Server.CreateObject("Vantrel.Tabs");
// Settings of the whole strip: they go into the header the first tab carries.
tabs.TabWidth = 90;
tabs.PanelWidth = 500;
tabs.PanelHeight = 300;
tabs.TabCount = 3;

tabs.TabName = "Overview";
Response.Write(tabs.WriteTab("Overview", "overview.html"));

// Each later tab a shade lighter; the History tab also reports its click.
tabs.TabName = "Details";
tabs.MoveNextLayerColor();
Response.Write(tabs.WriteTab("Details", "details.html"));

tabs.TabName = "History";
tabs.MoveNextLayerColor();
tabs.JavaScriptOnClick = "window.status='History shown'";
Response.Write(tabs.WriteTab("History", "history.html"));

// No output of the strip closes the wrapper its header opens: the page does.
Response.Write("</div>\r\n</body></html>\r\n");
