#pragma once

#include <string>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A month calendar, embedded in the page or shown in a popup beside a
// read-only date field.
class Calendar {
 public:
  void LetImageURL(Variant& NewURL);
  Variant GetImageURL() const;
  void LetActiveDate(Variant& NewDate);
  Variant GetActiveDate() const;
  std::string DisplayEmbedded(Variant& calName);
  std::string DisplayPopup(Variant& calName);
};

extern const ClassBinding kCalendarBinding;

}  // namespace vantrel
