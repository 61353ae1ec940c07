' ProgressBar: the twin of progressbar.js.
Dim b, c
Set b = Server.CreateObject("Vantrel.ProgressBar") : Report
Response.Write b.GetValue() & "|" & b.Max & "|" & b.Color & vbCrLf : Report
b.Max = 250 : Report
b.Color = 255 : Report
b.Max = "lots" : Report
b.Color = Null : Report
Response.Write b.Max & "|" & b.Color & vbCrLf : Report
Response.Write b.Show(True, True) : Report
Response.Write b.SetValue(42) : Report
Response.Write b.SetValue(2.5) : Report
Response.Write b.GetValue & vbCrLf : Report
Response.Write b.SetValue(3.5) : Report
Response.Write b.SetValue("7") : Report
Response.Write b.SetValue("seven") : Report
Response.Write b.SetValue(Null) : Report
Response.Write b.SetValue(3000000000) : Report
Response.Write b.GetValue() & vbCrLf : Report
Response.Write b.HideOutput(False) : Report
Response.Write b.HideOutput(1) : Report
Response.Write b.HideOutput(Empty) : Report
Response.Write b.HideOutput("maybe") : Report
Response.Write b.Show("yes", True) : Report
Response.Write b.Show(False) : Report
Set c = Server.CreateObject("Vantrel.ProgressBar") : Report
c.Max = -5 : Report
Response.Write c.Show(False, False) : Report
Response.Write b.GetValue() & "|" & c.GetValue() & vbCrLf : Report
