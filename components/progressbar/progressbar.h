#pragma once

#include <cstdint>
#include <string>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A bar of 100 cells that fills while a long page is produced. Show writes
// the client script, the bar and the opening of the division "page" that
// takes the rest of the page; each SetValue string moves the bar on;
// HideOutput hides or shows the division. Scaling, clamping and colouring
// happen in the browser.
//
// Arguments are the caller's own Variants: Show and HideOutput convert their
// arguments to Boolean and leave the converted value in the caller's
// variable, before anything else can fail.
class ProgressBar {
 public:
  // Value, as a 32-bit integer.
  Variant GetValue() const;
  // The value that counts as 100 percent; 0 means none is set (100 is used).
  void LetMax(Variant& NewMax);
  Variant GetMax() const;
  // The colour of filled cells, written into the client script as given.
  void LetColor(Variant& NewColor);
  Variant GetColor() const;
  // Stores NewValue as a 32-bit integer and returns the script line that
  // moves the bar to it. NewValue itself is left as it is.
  std::string SetValue(Variant& NewValue);
  // The client script (with the bar hidden once the page has loaded when
  // HideProgressBarAfter is true), the bar, and the opening tag of the
  // division "page", followed by HideOutput's hiding line when
  // HideOutputDuring is true. Converts HideOutputDuring first, then
  // HideProgressBarAfter.
  std::string Show(Variant& HideOutputDuring, Variant& HideProgressBarAfter);
  // The script line that hides the division "page" (Hidden true) or shows it.
  std::string HideOutput(Variant& Hidden);

 private:
  std::int32_t Value = 0;
  std::int32_t Max = 0;
  std::string Color = "0000ff";
};

extern const ClassBinding kProgressBarBinding;

}  // namespace vantrel
