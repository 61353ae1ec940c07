<%@ LANGUAGE="JScript" %>
<%
var bare = Request.QueryString("bare") == "1";
var title = "Shipping";
%>
<!-- #include file="includes/top.inc" -->
<% if (!bare) { %><!-- #include file="includes/menu.inc" --><% } %>
<div class="<%= bare ? "panel" : "main" %>">
<h2>Shipping</h2>
<p>We deliver to all fifty states on the date you choose, from the next working day on.</p>
<table class="list">
<tr><th>Order</th><th>Delivery</th></tr>
<tr><td>up to $100</td><td class="number">$9.00</td></tr>
<tr><td>over $100</td><td class="number">free</td></tr>
</table>
</div>
</body>
</html>
