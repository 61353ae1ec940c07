// Tree: defaults, properties, the controls, menus and nodes (the optional
// ImagePath left out and given), Initialize, errors, and a second object.
var t = Server.CreateObject("Vantrel.Tree");
attempt(function () { Response.Write(t.Width + "|" + t.TextClass + "|" + t.ExpandedImage + "|" + t.ExpandAllImage + "|" + t.CollapsedImage + "|" + t.CollapseAllImage + "\r\n"); });
attempt(function () { t.Width = 200; });
attempt(function () { t.TextClass = "menu"; });
attempt(function () { t.CollapsedImage = "img/closed.gif"; });
attempt(function () { t.Width = null; });
attempt(function () { Response.Write(t.Width + "|" + t.TextClass + "|" + t.CollapsedImage + "\r\n"); });
attempt(function () { Response.Write(t.WriteExpandCollapse()); });
attempt(function () { Response.Write(t.WriteExpandCollapse()); });
attempt(function () { Response.Write(t.WriteMenuHeader("Reports")); });
attempt(function () { Response.Write(t.WriteNode("Sales", "sales.asp", "_self")); });
attempt(function () { Response.Write(t.WriteNode("Sales", "sales.asp", "_self", "")); });
attempt(function () { Response.Write(t.WriteNode("Costs", "costs.asp", "main", "img/doc.gif")); });
attempt(function () { Response.Write(t.WriteNode("Too", "few")); });
attempt(function () { Response.Write(t.WriteNode("Too", "many", "x", "y", "z")); });
attempt(function () { Response.Write(t.WriteMenuHeader(null)); });
attempt(function () { Response.Write(t.WriteMenuFooter()); });
attempt(function () { Response.Write(t.WriteMenuHeader(2.5)); });
attempt(function () { Response.Write(t.WriteMenuFooter()); });
var u = Server.CreateObject("Vantrel.Tree");
attempt(function () { Response.Write(u.Initialize()); });
attempt(function () { Response.Write(u.WriteMenuHeader("Other")); });
attempt(function () { Response.Write(u.WriteNode("Home", "/", "_top", "home.gif")); });
attempt(function () { Response.Write(u.WriteMenuFooter()); });
attempt(function () { Response.Write(u.Initialize()); });
attempt(function () { Response.Write(t.Width + "|" + u.Width + "\r\n"); });
