#include "components/progressbar/progressbar.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    method<&ProgressBar::GetValue>("GetValue", 0x60030003),
    property_let<&ProgressBar::LetMax>("Max", 0x68030001, "NewMax"),
    property_get<&ProgressBar::GetMax>("Max", 0x68030001),
    property_let<&ProgressBar::LetColor>("Color", 0x68030000, "NewColor"),
    property_get<&ProgressBar::GetColor>("Color", 0x68030000),
    method<&ProgressBar::SetValue>("SetValue", 0x60030004, {"NewValue"}),
    method<&ProgressBar::Show>("Show", 0x60030005, {"HideOutputDuring", "HideProgressBarAfter"}),
    method<&ProgressBar::HideOutput>("HideOutput", 0x60030006, {"Hidden"}),
};
}  // namespace

constinit const ClassBinding kProgressBarBinding = bind_class<ProgressBar>(kMembers);

}  // namespace vantrel
