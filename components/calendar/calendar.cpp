#include "components/calendar/calendar.h"

#include "components/not_implemented.h"

namespace vantrel {

void Calendar::LetImageURL(Variant&) { raise_not_implemented(); }
Variant Calendar::GetImageURL() const { raise_not_implemented(); }
void Calendar::LetActiveDate(Variant&) { raise_not_implemented(); }
Variant Calendar::GetActiveDate() const { raise_not_implemented(); }
std::string Calendar::DisplayEmbedded(Variant&) { raise_not_implemented(); }
std::string Calendar::DisplayPopup(Variant&) { raise_not_implemented(); }

}  // namespace vantrel
