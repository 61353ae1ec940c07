' Tree: the twin of tree.js.
Dim t, u
Set t = Server.CreateObject("Vantrel.Tree") : Report
Response.Write t.Width & "|" & t.TextClass & "|" & t.ExpandedImage & "|" & t.ExpandAllImage & "|" & t.CollapsedImage & "|" & t.CollapseAllImage & vbCrLf : Report
t.Width = 200 : Report
t.TextClass = "menu" : Report
t.CollapsedImage = "img/closed.gif" : Report
t.Width = Null : Report
Response.Write t.Width & "|" & t.TextClass & "|" & t.CollapsedImage & vbCrLf : Report
Response.Write t.WriteExpandCollapse() : Report
Response.Write t.WriteExpandCollapse : Report
Response.Write t.WriteMenuHeader("Reports") : Report
Response.Write t.WriteNode("Sales", "sales.asp", "_self") : Report
Response.Write t.WriteNode("Sales", "sales.asp", "_self", "") : Report
Response.Write t.WriteNode("Costs", "costs.asp", "main", "img/doc.gif") : Report
Response.Write t.WriteNode("Too", "few") : Report
Response.Write t.WriteNode("Too", "many", "x", "y", "z") : Report
Response.Write t.WriteMenuHeader(Null) : Report
Response.Write t.WriteMenuFooter() : Report
Response.Write t.WriteMenuHeader(2.5) : Report
Response.Write t.WriteMenuFooter : Report
Set u = Server.CreateObject("Vantrel.Tree") : Report
Response.Write u.Initialize() : Report
Response.Write u.WriteMenuHeader("Other") : Report
Response.Write u.WriteNode("Home", "/", "_top", "home.gif") : Report
Response.Write u.WriteMenuFooter() : Report
Response.Write u.Initialize : Report
Response.Write t.Width & "|" & u.Width & vbCrLf : Report
