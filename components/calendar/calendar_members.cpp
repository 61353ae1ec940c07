#include "components/calendar/calendar.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    property_let<&Calendar::LetImageURL>("ImageURL", 0x68030001, "NewURL"),
    property_get<&Calendar::GetImageURL>("ImageURL", 0x68030001),
    property_let<&Calendar::LetActiveDate>("ActiveDate", 0x68030000, "NewDate"),
    property_get<&Calendar::GetActiveDate>("ActiveDate", 0x68030000),
    method<&Calendar::DisplayEmbedded>("DisplayEmbedded", 0x60030006, {"calName"}),
    method<&Calendar::DisplayPopup>("DisplayPopup", 0x60030007, {"calName"}),
};
}  // namespace

constinit const ClassBinding kCalendarBinding = bind_class<Calendar>(kMembers);

}  // namespace vantrel
