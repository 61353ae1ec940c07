#pragma once

#include <string>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A bar of 100 cells that fills while a long page is produced.
class ProgressBar {
 public:
  Variant GetValue() const;
  void LetMax(Variant& NewMax);
  Variant GetMax() const;
  void LetColor(Variant& NewColor);
  Variant GetColor() const;
  std::string SetValue(Variant& NewValue);
  std::string Show(Variant& HideOutputDuring, Variant& HideProgressBarAfter);
  std::string HideOutput(Variant& Hidden);
};

extern const ClassBinding kProgressBarBinding;

}  // namespace vantrel
