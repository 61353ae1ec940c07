' Tabs: the twin of tabs.js.
Dim t, u
Set t = Server.CreateObject("Vantrel.Tabs") : Report
Response.Write t.TabName & "|" & t.TabWidth & "|" & t.PanelWidth & "|" & t.PanelHeight & "|" & t.TabCount & "|" & t.LayerColor & "|" & t.JavaScriptOnClick & vbCrLf : Report
Response.Write t.IsVisible : Report
Response.Write t.WriteTab("c0", "first.htm") : Report
t.TabWidth = 100 : Report
t.PanelWidth = "400" : Report
t.PanelHeight = 299.5 : Report
t.TabCount = 2 : Report
t.TabWidth = 40000 : Report
t.TabWidth = "wide" : Report
t.TabWidth = Null : Report
Response.Write t.TabWidth & "|" & t.PanelWidth & "|" & t.PanelHeight & "|" & t.TabCount & vbCrLf : Report
t.TabName = "First" : Report
Response.Write t.WriteTab("c0", "first.htm") : Report
t.MoveNextLayerColor : Report
Response.Write t.LayerColor & vbCrLf : Report
t.TabName = "Second" : Report
t.IsVisible = False : Report
t.JavaScriptOnClick = "alert('two')" : Report
Response.Write t.WriteTab("c1", "second.htm") : Report
Response.Write t.JavaScriptOnClick & "|" & t.TabName & vbCrLf : Report
t.LayerColor = "#123456" : Report
t.MovePreviousLayerColor : Report
Response.Write t.LayerColor & vbCrLf : Report
t.LayerColor = "0a1020" : Report
t.MovePreviousLayerColor : Report
Response.Write t.LayerColor & vbCrLf : Report
Set u = Server.CreateObject("Vantrel.Tabs") : Report
u.TabName = " " : Report
u.TabWidth = 80 : Report
Response.Write u.WriteTab(1, 2) : Report
Response.Write t.LayerColor & "|" & u.LayerColor & vbCrLf : Report
