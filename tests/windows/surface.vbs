' What only VBScript shows: arguments passed by reference and written back,
' the types of results, and errors for forms a member does not have. Each
' check writes PASS or FAIL. Runs after hosts/cscript_prelude.vbs (errors
' resume).
Sub Check(name, got, expected)
  If got = expected Then
    Response.Write "PASS " & name & vbCrLf
  Else
    Response.Write "FAIL " & name & ": got [" & got & "], expected [" & expected & "]" & vbCrLf
  End If
End Sub
Function Described(value)
  Described = TypeName(value) & " " & value
End Function
Function LastError()
  LastError = Err.Number & " " & Err.Source & ": " & Err.Description
  Err.Clear
End Function

Dim bar, hidden, during, after, text, value, tabs, cal, tree, menu, done
Set bar = Server.CreateObject("Vantrel.ProgressBar")
hidden = 1
text = bar.HideOutput(hidden)
Check "HideOutput(1) leaves True in the variable", Described(hidden), "Boolean True"
hidden = "0"
text = bar.HideOutput(hidden)
Check "HideOutput(""0"") leaves False in the variable", Described(hidden), "Boolean False"
during = 1 : after = "False"
text = bar.Show(during, after)
Check "Show writes the first argument back", Described(during), "Boolean True"
Check "Show writes the second argument back", Described(after), "Boolean False"
during = -1 : after = "maybe"
text = bar.Show(during, after)
Check "Show with a bad second argument raises 13", LastError(), "13 Vantrel.ProgressBar: Type mismatch"
Check "the first argument is written back before the second fails", Described(during), "Boolean True"
Check "the second argument stays as it was", Described(after), "String maybe"
value = "7"
text = bar.SetValue(value)
Check "SetValue does not change its argument", Described(value), "String 7"
Check "GetValue is a 32-bit integer", TypeName(bar.GetValue()), "Long"
Check "Max is a 32-bit integer", TypeName(bar.Max), "Long"

Set cal = Server.CreateObject("Vantrel.Calendar")
value = "2/14/2003"
cal.ActiveDate = value
Check "ActiveDate let does not change its argument", Described(value), "String 2/14/2003"
Check "ActiveDate reads as text", Described(cal.ActiveDate), "String 02/14/2003"

Set tabs = Server.CreateObject("Vantrel.Tabs")
value = tabs.TabWidth
Check "TabWidth is an Integer", TypeName(tabs.TabWidth), "Integer"
value = tabs.IsVisible
Check "reading the let-only IsVisible raises 438", LastError(), "438 Vantrel.Tabs: Object doesn't support this property or method"
tabs.WriteTab = 1
Check "assigning to a method raises 438", LastError(), "438 Vantrel.Tabs: Object doesn't support this property or method"
Set menu = Server.CreateObject("Vantrel.PopupMenu")
value = menu.Width
Check "reading the let-only Width raises 438", LastError(), "438 Vantrel.PopupMenu: Object doesn't support this property or method"
menu.Width = 32768
Check "Width = 32768 raises 6", LastError(), "6 Vantrel.PopupMenu: Overflow"

Set tree = Server.CreateObject("Vantrel.Tree")
text = tree.WriteMenuHeader("Menu")
Check "WriteNode with three arguments is WriteNode with an empty ImagePath", _
  tree.WriteNode("a", "b", "c") = tree.WriteNode("a", "b", "c", ""), True
Check "Width is a String", TypeName(tree.Width), "String"
text = tree.WriteNode("a", , "c")
Check "a required argument left out raises 449", LastError(), "449 Vantrel.Tree: Argument not optional"
Set done = Server.CreateObject("Vantrel.AutoComplete")
text = done.EmbedAutoComplete("a", "b", True)
Check "three arguments for four raise 450", LastError(), "450 Vantrel.AutoComplete: Wrong number of arguments or invalid property assignment"
Check "EmbedAutoComplete returns a String", TypeName(done.EmbedAutoComplete("a", "b", True, True)), "String"
