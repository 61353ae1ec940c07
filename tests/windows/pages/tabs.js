// Tabs: defaults, the let-only IsVisible, the TabName check and its error,
// conversions and overflow of the Integer settings, two tabs with their
// one-shot settings, colour steps, and a second object.
var t = Server.CreateObject("Vantrel.Tabs");
attempt(function () { Response.Write(t.TabName + "|" + t.TabWidth + "|" + t.PanelWidth + "|" + t.PanelHeight + "|" + t.TabCount + "|" + t.LayerColor + "|" + t.JavaScriptOnClick + "\r\n"); });
attempt(function () { Response.Write(t.IsVisible); });
attempt(function () { Response.Write(t.WriteTab("c0", "first.htm")); });
attempt(function () { t.TabWidth = 100; });
attempt(function () { t.PanelWidth = "400"; });
attempt(function () { t.PanelHeight = 299.5; });
attempt(function () { t.TabCount = 2; });
attempt(function () { t.TabWidth = 40000; });
attempt(function () { t.TabWidth = "wide"; });
attempt(function () { t.TabWidth = null; });
attempt(function () { Response.Write(t.TabWidth + "|" + t.PanelWidth + "|" + t.PanelHeight + "|" + t.TabCount + "\r\n"); });
attempt(function () { t.TabName = "First"; });
attempt(function () { Response.Write(t.WriteTab("c0", "first.htm")); });
attempt(function () { t.MoveNextLayerColor(); });
attempt(function () { Response.Write(t.LayerColor + "\r\n"); });
attempt(function () { t.TabName = "Second"; });
attempt(function () { t.IsVisible = false; });
attempt(function () { t.JavaScriptOnClick = "alert('two')"; });
attempt(function () { Response.Write(t.WriteTab("c1", "second.htm")); });
attempt(function () { Response.Write(t.JavaScriptOnClick + "|" + t.TabName + "\r\n"); });
attempt(function () { t.LayerColor = "#123456"; });
attempt(function () { t.MovePreviousLayerColor(); });
attempt(function () { Response.Write(t.LayerColor + "\r\n"); });
attempt(function () { t.LayerColor = "0a1020"; });
attempt(function () { t.MovePreviousLayerColor(); });
attempt(function () { Response.Write(t.LayerColor + "\r\n"); });
var u = Server.CreateObject("Vantrel.Tabs");
attempt(function () { u.TabName = " "; });
attempt(function () { u.TabWidth = 80; });
attempt(function () { Response.Write(u.WriteTab(1, 2)); });
attempt(function () { Response.Write(t.LayerColor + "|" + u.LayerColor + "\r\n"); });
