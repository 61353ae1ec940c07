#pragma once

#include <string>
#include <string_view>

#include "frame/members.h"

namespace vantrel {

// Type-ahead completion of a text field from a select list of the same form.
class AutoComplete {
 public:
  // The script block (first call of the object only), then the text field
  // named HTMLFieldNameToBuild, linked to the select list
  // HTMLSelectNameToLink of the same form. Names are written as given.
  std::string EmbedAutoComplete(std::string_view HTMLFieldNameToBuild,
                                std::string_view HTMLSelectNameToLink, bool ForceAutoComplete,
                                bool IsLinkedAsText);

 private:
  static std::string_view BuildAutoCompleteScript();

  bool ScriptWritten = false;
};

extern const ClassBinding kAutoCompleteBinding;

}  // namespace vantrel
