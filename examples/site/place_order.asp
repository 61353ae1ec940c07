<%@ LANGUAGE="JScript" %>
<%
if (Request.ServerVariables("REQUEST_METHOD") != "POST") Response.Redirect("/");
var title = "Placing your order";
%>
<!-- #include file="includes/top.inc" -->
<!-- #include file="includes/menu.inc" -->
<div class="main">
<h1>Placing your order</h1>
<%
// Each step takes a while; the bar moves as each one is done, because the
// page is sent in parts.
var steps = ["Checking the customer", "Reserving the goods", "Planning the delivery",
             "Pricing the order", "Booking the van", "Writing the confirmation"];
var bar = Server.CreateObject("Vantrel.ProgressBar");
bar.Max = steps.length;
bar.Color = "2e7d32";
Response.Write(bar.Show(false, true));
Response.Flush();

function work(milliseconds) {
  var end = new Date().getTime() + milliseconds;
  while (new Date().getTime() < end) {}
}
for (var i = 0; i < steps.length; i++) {
  work(250);
  Response.Write("<p class=\"step\">" + steps[i] + ": done</p>\r\n");
  Response.Write(bar.SetValue(i + 1));
  Response.Flush();
}
var fields = ["Customer", "Product", "Quantity", "State", "DeliveryDate", "Notes"];
%>
<h2 id="result">Order placed</h2>
<table class="result">
<% for (var f = 0; f < fields.length; f++) { %>
<tr><th><%= fields[f] %></th>
    <td id="posted-<%= fields[f] %>"><%= Server.HTMLEncode(Request.Form(fields[f])) %></td></tr>
<% } %>
</table>
<p><a href="/">Place another order</a></p>
</div>
</div>
</body>
</html>
