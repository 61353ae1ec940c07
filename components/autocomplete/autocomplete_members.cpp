#include "components/autocomplete/autocomplete.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    method<&AutoComplete::EmbedAutoComplete>(
        "EmbedAutoComplete", 0x60030002,
        {"HTMLFieldNameToBuild", "HTMLSelectNameToLink", "ForceAutoComplete", "IsLinkedAsText"}),
};
}  // namespace

constinit const ClassBinding kAutoCompleteBinding = bind_class<AutoComplete>(kMembers);

}  // namespace vantrel
