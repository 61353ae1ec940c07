// A form with two type-ahead fields: State completes from the state list by
// the names shown; Code completes from the same list by the option values.
var page = "<html><body>\r\n<form>\r\n";
page += "<select name=\"StateList\">" +
        "<option value=\"AL\">Alabama</option>" +
        "<option value=\"AK\">Alaska</option>" +
        "<option value=\"AZ\">Arizona</option>" +
        "</select>\r\n";
Response.Write(page);

var completion = Server.CreateObject("Vantrel.AutoComplete");
// The first field carries the script block; the second needs only its tag.
Response.Write(completion.EmbedAutoComplete("State", "StateList", true, true));
Response.Write("\r\n");
Response.Write(completion.EmbedAutoComplete("Code", "StateList", false, false));
Response.Write("\r\n</form>\r\n</body></html>\r\n");
