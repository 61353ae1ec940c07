#pragma once

#include <string_view>

#include "frame/fixed_text.h"

namespace vantrel {

// The client function autoComplete, returned once per object in front of its
// first input field.
inline constexpr std::string_view kAutoCompleteScript = crlf_text<R"js(
<script language="JavaScript">
function autoComplete(field, select, forceComplete, isLinkedAsText) {
var found = false;
var textRange;
var newTextRange;
var oldVal;
var newVal;
var dispType = isLinkedAsText ? 'text' : 'value';
for (var i = 0; i < select.options.length; i++) {
if (select.options[i][dispType].toUpperCase().indexOf(field.value.toUpperCase()) == 0) {
found=true;
break;
}
}
if (found) {
select.selectedIndex = i;
}else{
select.selectedIndex = -1;
}
if (field.createTextRange) {
if (forceComplete && !found) {
field.value=field.value.substring(0,field.value.length-1);
return;
}
var cursorKeys ="8;46;37;38;39;40;33;34;35;36;45;";
if (cursorKeys.indexOf(event.keyCode+";") == -1) {
textRange = field.createTextRange();
oldVal = textRange.text;
newVal = found ? select.options[i][dispType] : oldVal;
if (newVal != field.value) {
field.value = newVal;
newTextRange = field.createTextRange();
newTextRange.moveStart('character', oldVal.length) ;
newTextRange.select();
}
}
}
}
</script>
)js">;

// The text field; its key-up handler calls autoComplete. No line break and no
// closing tag follow it.
inline constexpr auto kAutoCompleteField = pattern_text<
    R"html(<INPUT TYPE="text" NAME='@HTMLFieldNameToBuild@' VALUE='' ONKEYUP='autoComplete(this,this.form.@HTMLSelectNameToLink@, @ForceAutoComplete@, @IsLinkedAsText@)'>)html">;

}  // namespace vantrel
