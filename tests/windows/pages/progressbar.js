// ProgressBar: defaults, Max and Color, Show with and without its options,
// SetValue with conversions and its errors, HideOutput, and a second object.
var b = Server.CreateObject("Vantrel.ProgressBar");
attempt(function () { Response.Write(b.GetValue() + "|" + b.Max + "|" + b.Color + "\r\n"); });
attempt(function () { b.Max = 250; });
attempt(function () { b.Color = 255; });
attempt(function () { b.Max = "lots"; });
attempt(function () { b.Color = null; });
attempt(function () { Response.Write(b.Max + "|" + b.Color + "\r\n"); });
attempt(function () { Response.Write(b.Show(true, true)); });
attempt(function () { Response.Write(b.SetValue(42)); });
attempt(function () { Response.Write(b.SetValue(2.5)); });
attempt(function () { Response.Write(b.GetValue() + "\r\n"); });
attempt(function () { Response.Write(b.SetValue(3.5)); });
attempt(function () { Response.Write(b.SetValue("7")); });
attempt(function () { Response.Write(b.SetValue("seven")); });
attempt(function () { Response.Write(b.SetValue(null)); });
attempt(function () { Response.Write(b.SetValue(3000000000)); });
attempt(function () { Response.Write(b.GetValue() + "\r\n"); });
attempt(function () { Response.Write(b.HideOutput(false)); });
attempt(function () { Response.Write(b.HideOutput(1)); });
attempt(function () { Response.Write(b.HideOutput(undefined)); });
attempt(function () { Response.Write(b.HideOutput("maybe")); });
attempt(function () { Response.Write(b.Show("yes", true)); });
attempt(function () { Response.Write(b.Show(false)); });
var c = Server.CreateObject("Vantrel.ProgressBar");
attempt(function () { c.Max = -5; });
attempt(function () { Response.Write(c.Show(false, false)); });
attempt(function () { Response.Write(b.GetValue() + "|" + c.GetValue() + "\r\n"); });
