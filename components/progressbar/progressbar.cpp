#include "components/progressbar/progressbar.h"

#include "components/not_implemented.h"

namespace vantrel {

Variant ProgressBar::GetValue() const { raise_not_implemented(); }
void ProgressBar::LetMax(Variant&) { raise_not_implemented(); }
Variant ProgressBar::GetMax() const { raise_not_implemented(); }
void ProgressBar::LetColor(Variant&) { raise_not_implemented(); }
Variant ProgressBar::GetColor() const { raise_not_implemented(); }
std::string ProgressBar::SetValue(Variant&) { raise_not_implemented(); }
std::string ProgressBar::Show(Variant&, Variant&) { raise_not_implemented(); }
std::string ProgressBar::HideOutput(Variant&) { raise_not_implemented(); }

}  // namespace vantrel
