// A report that takes a while: the bar fills as each region is written. The
// regions stay hidden until the last one is in, and the bar goes away once
// the page has finished loading.
Response.Write("<html><body>\r\n<h1>Sales by region</h1>\r\n");

var bar = Server.CreateObject("Vantrel.ProgressBar");
var regions = ["North", "South", "East", "West"];
bar.Max = regions.length;  // SetValue(4) is 100 percent
bar.Color = "008000";
// The script, the bar, then <div id="page"> holding the rest of the page,
// hidden for now (true), with the bar hidden after loading (true).
Response.Write(bar.Show(true, true));

for (var i = 0; i < regions.length; i++) {
  Response.Write("<p>" + regions[i] + "</p>\r\n");
  Response.Write(bar.SetValue(i + 1));
}

// Everything is written: show the page, and close the division Show opened.
Response.Write(bar.HideOutput(false));
Response.Write("</div>\r\n</body></html>\r\n");
