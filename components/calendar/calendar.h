#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/members.h"
#include "frame/variant.h"

namespace vantrel {

// A month calendar, embedded in the page or shown in a popup beside a
// read-only date field.
class Calendar {
 public:
  // Opens at today's date (the server's local clock) with the button image
  // "Calendar.gif".
  Calendar();

  // The popup button's image source, converted to text and stored as it is.
  void LetImageURL(Variant& NewURL);
  Variant GetImageURL() const;
  // The date the calendar opens at: a date value or date text, held as
  // "mm/dd/yyyy" text. Anything else raises error 1 and changes nothing.
  void LetActiveDate(Variant& NewDate);
  Variant GetActiveDate() const;

  // The month grid of the active month inside a DIV named calName, preceded
  // by the date and grid scripts the first time this object needs them.
  std::string DisplayEmbedded(Variant& calName);
  // The date field named calName and the button that opens the grid in a
  // popup, preceded by the date and popup scripts the first time this object
  // needs them.
  std::string DisplayPopup(Variant& calName);

 private:
  static std::string_view BuildDateScript();
  static std::string_view BuildEmbeddedScript();
  static std::string_view BuildPopupScript();

  std::string ActiveDateText;
  std::int16_t ActiveMonth = 0;
  std::int16_t ActiveYear = 0;
  std::string ImageURLText;
  bool DateScriptWritten = false;
  bool EmbeddedScriptWritten = false;
  bool PopupScriptWritten = false;
};

extern const ClassBinding kCalendarBinding;

}  // namespace vantrel
