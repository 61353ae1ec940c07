#include "components/autocomplete/autocomplete.h"

#include "components/autocomplete/autocomplete_script.h"
#include "frame/output.h"

namespace vantrel {

namespace {
constexpr std::string_view script_word(bool value) { return value ? "true" : "false"; }
}  // namespace

std::string_view AutoComplete::BuildAutoCompleteScript() { return kAutoCompleteScript; }

std::string AutoComplete::EmbedAutoComplete(std::string_view HTMLFieldNameToBuild,
                                            std::string_view HTMLSelectNameToLink,
                                            bool ForceAutoComplete, bool IsLinkedAsText) {
  Output out((ScriptWritten ? 0 : kAutoCompleteScript.size()) + kAutoCompleteField.fixed_size +
             HTMLFieldNameToBuild.size() + HTMLSelectNameToLink.size() + 10);
  if (!ScriptWritten) out.add(BuildAutoCompleteScript());
  out.fill<kAutoCompleteField>(HTMLFieldNameToBuild, HTMLSelectNameToLink,
                               script_word(ForceAutoComplete), script_word(IsLinkedAsText));
  ScriptWritten = true;
  return std::move(out).take();
}

}  // namespace vantrel
