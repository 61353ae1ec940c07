' AutoComplete: the twin of autocomplete.js.
Dim a, b
Set a = Server.CreateObject("Vantrel.AutoComplete") : Report
Response.Write a.EmbedAutoComplete("State", "StateList", True, True) : Report
Response.Write vbCrLf : Report
Response.Write a.EmbedAutoComplete("Code", "StateList", False, False) : Report
Response.Write vbCrLf : Report
Response.Write a.EmbedAutoComplete(42, 2.5, 1, "0") : Report
Response.Write vbCrLf : Report
Response.Write a.EmbedAutoComplete("<b>'Q'</b>", "L", "True", "false") : Report
Response.Write vbCrLf : Report
Response.Write a.EmbedAutoComplete("x") : Report
Response.Write a.EmbedAutoComplete("x", "y", True, True, True) : Report
Response.Write a.EmbedAutoComplete("x", "y", "maybe", True) : Report
Response.Write a.EmbedAutoComplete("x", "y", True, "") : Report
Response.Write a.EmbedAutoComplete(Null, "y", True, True) : Report
Response.Write a.EmbedAutoComplete("x", "y", Null, True) : Report
Response.Write a.EmbedAutoComplete("Still", "Usable", False, True) : Report
Response.Write vbCrLf : Report
Set b = Server.CreateObject("Vantrel.AutoComplete") : Report
Response.Write b.EmbedAutoComplete("Second", "Object", True, False) : Report
Response.Write vbCrLf : Report
Response.Write b.EmbedAutoComplete("Field", "List", -1, 0) : Report
