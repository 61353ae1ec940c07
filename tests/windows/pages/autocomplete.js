// AutoComplete: the script once per object, both kinds of link, converted
// arguments, a second object, and the errors of the platform.
var a = Server.CreateObject("Vantrel.AutoComplete");
attempt(function () { Response.Write(a.EmbedAutoComplete("State", "StateList", true, true)); });
attempt(function () { Response.Write("\r\n"); });
attempt(function () { Response.Write(a.EmbedAutoComplete("Code", "StateList", false, false)); });
attempt(function () { Response.Write("\r\n"); });
attempt(function () { Response.Write(a.EmbedAutoComplete(42, 2.5, 1, "0")); });
attempt(function () { Response.Write("\r\n"); });
attempt(function () { Response.Write(a.EmbedAutoComplete("<b>'Q'</b>", "L", "True", "false")); });
attempt(function () { Response.Write("\r\n"); });
attempt(function () { Response.Write(a.EmbedAutoComplete("x")); });
attempt(function () { Response.Write(a.EmbedAutoComplete("x", "y", true, true, true)); });
attempt(function () { Response.Write(a.EmbedAutoComplete("x", "y", "maybe", true)); });
attempt(function () { Response.Write(a.EmbedAutoComplete("x", "y", true, "")); });
attempt(function () { Response.Write(a.EmbedAutoComplete(null, "y", true, true)); });
attempt(function () { Response.Write(a.EmbedAutoComplete("x", "y", null, true)); });
attempt(function () { Response.Write(a.EmbedAutoComplete("Still", "Usable", false, true)); });
attempt(function () { Response.Write("\r\n"); });
var b = Server.CreateObject("Vantrel.AutoComplete");
attempt(function () { Response.Write(b.EmbedAutoComplete("Second", "Object", true, false)); });
attempt(function () { Response.Write("\r\n"); });
attempt(function () { Response.Write(b.EmbedAutoComplete("Field", "List", -1, 0)); });
