<%@ LANGUAGE="JScript" %>
<%
var bare = Request.QueryString("bare") == "1";
var title = "How to order";
%>
<!-- #include file="includes/top.inc" -->
<% if (!bare) { %><!-- #include file="includes/menu.inc" --><% } %>
<div class="<%= bare ? "panel" : "main" %>">
<h2>How to order</h2>
<ol>
<li>Give your name, the product and how many you want.</li>
<li>Start typing your state: the field completes it from the list.</li>
<li>Pick a delivery date from the calendar.</li>
<li>Place the order (or right-click for the page menu) and watch it being processed.</li>
</ol>
</div>
</body>
</html>
