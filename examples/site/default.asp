<%@ LANGUAGE="JScript" %>
<% var title = "New order"; %>
<!-- #include file="includes/top.inc" -->
<!-- #include file="includes/menu.inc" -->
<div class="main">
<h1>New order</h1>
<%
// The states the State field completes from.
var states = ["Alabama", "Alaska", "Arizona", "Arkansas", "California", "Colorado",
  "Connecticut", "Delaware", "Florida", "Georgia", "Hawaii", "Idaho", "Illinois", "Indiana",
  "Iowa", "Kansas", "Kentucky", "Louisiana", "Maine", "Maryland", "Massachusetts", "Michigan",
  "Minnesota", "Mississippi", "Missouri", "Montana", "Nebraska", "Nevada", "New Hampshire",
  "New Jersey", "New Mexico", "New York", "North Carolina", "North Dakota", "Ohio", "Oklahoma",
  "Oregon", "Pennsylvania", "Rhode Island", "South Carolina", "South Dakota", "Tennessee",
  "Texas", "Utah", "Vermont", "Virginia", "Washington", "West Virginia", "Wisconsin", "Wyoming"];
var completion = Server.CreateObject("Vantrel.AutoComplete");
var calendar = Server.CreateObject("Vantrel.Calendar");
calendar.ImageURL = "images/calendar.svg";
%>
<form name="order" action="place_order.asp" method="post">
<table class="fields">
<tr><td><label for="Customer">Customer</label></td>
    <td><input id="Customer" name="Customer" size="30"></td></tr>
<tr><td>Product</td>
    <td><select name="Product">
      <option>Garden chair</option><option>Garden table</option><option>Parasol</option>
    </select>
    quantity <input name="Quantity" value="1" size="3"></td></tr>
<tr><td>State</td>
    <td><%= completion.EmbedAutoComplete("State", "StateList", true, true) %>
    <select name="StateList" size="1">
<% for (var i = 0; i < states.length; i++) { %>      <option><%= states[i] %></option>
<% } %>    </select></td></tr>
<tr><td>Delivery date</td>
    <td><%= calendar.DisplayPopup("DeliveryDate") %></td></tr>
<tr><td><label for="Notes">Notes</label></td>
    <td><textarea id="Notes" name="Notes" rows="3" cols="30"></textarea></td></tr>
</table>
<p><input type="submit" name="PlaceOrder" value="Place order"></p>
</form>
<p class="hint">Type the first letters of a state and the list follows; click the calendar for
a delivery date; right-click anywhere for the page menu.</p>

<%
// Products, shipping and help as tabs: each shows another page.
var tabs = Server.CreateObject("Vantrel.Tabs");
tabs.TabWidth = 110;
tabs.PanelWidth = 520;
tabs.PanelHeight = 200;
tabs.TabCount = 3;
tabs.TabName = "Products";
Response.Write(tabs.WriteTab("products", "products.asp?bare=1"));
tabs.TabName = "Shipping";
tabs.MoveNextLayerColor();
Response.Write(tabs.WriteTab("shipping", "shipping.asp?bare=1"));
tabs.TabName = "How to order";
tabs.MoveNextLayerColor();
Response.Write(tabs.WriteTab("help", "help.asp?bare=1"));
Response.Write("</div>\r\n");  // closes the strip's wrapper

// The right-click menu.
var popup = Server.CreateObject("Vantrel.PopupMenu");
popup.AddMenuTitle("Order");
popup.AddMenuItem("Place order", "parent.document.forms[0].submit()", "images/order.svg");
popup.AddMenuItem("Clear the form", "parent.document.forms[0].reset()", "images/clear.svg");
popup.AddHorizontalRule("images/pixel.svg");
popup.AddMenuItem("Shipping rates", "parent.location.href='shipping.asp'", "images/truck.svg");
Response.Write(popup.EmbedPopupMenu());
%>
</div>
</body>
</html>
