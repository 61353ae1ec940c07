<%@ LANGUAGE="JScript" %>
<%
var products = [["Garden chair", "49.00"], ["Garden table", "129.00"], ["Parasol", "35.50"]];
var bare = Request.QueryString("bare") == "1";  // inside a tab: no menu
var title = "Products";
%>
<!-- #include file="includes/top.inc" -->
<% if (!bare) { %><!-- #include file="includes/menu.inc" --><% } %>
<div class="<%= bare ? "panel" : "main" %>">
<h2>Products</h2>
<table class="list">
<tr><th>Product</th><th>Price</th></tr>
<% for (var i = 0; i < products.length; i++) { %>
<tr><td><%= products[i][0] %></td><td class="number">$<%= products[i][1] %></td></tr>
<% } %>
</table>
</div>
</body>
</html>
