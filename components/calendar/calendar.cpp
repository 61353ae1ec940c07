#include "components/calendar/calendar.h"

#include <optional>
#include <utility>

#include "components/calendar/calendar_script.h"
#include "frame/automation_error.h"
#include "frame/clock.h"
#include "frame/dates.h"
#include "frame/output.h"

namespace vantrel {

namespace {

constexpr std::string_view kSource = "Vantrel.Calendar";
constexpr std::string_view kNotADate = "ActiveDate Property not a valid date.";

// Room for the month and the year as decimal text.
constexpr std::size_t kNumbersSize = 12;

}  // namespace

Calendar::Calendar() : ImageURLText("Calendar.gif") {
  // The month and year come from today's date too, so that a page that never
  // assigns ActiveDate opens at the current month.
  const CivilDate now = today();
  append_mmddyyyy(ActiveDateText, now);
  ActiveMonth = static_cast<std::int16_t>(now.month);
  ActiveYear = static_cast<std::int16_t>(now.year);
}

std::string_view Calendar::BuildDateScript() { return kDateScript; }
std::string_view Calendar::BuildEmbeddedScript() { return kEmbeddedScript; }
std::string_view Calendar::BuildPopupScript() { return kPopupScript; }

void Calendar::LetImageURL(Variant& NewURL) { ImageURLText = to_text(NewURL); }

Variant Calendar::GetImageURL() const { return Variant(ImageURLText); }

void Calendar::LetActiveDate(Variant& NewDate) {
  // A date passes the test only inside the years a date can hold, so it
  // always has a calendar date.
  const std::optional<Date> date = read_date(NewDate);
  const std::optional<CivilDate> day = date ? civil_date_of(*date) : std::nullopt;
  if (!day) {
    throw AutomationError(error_number::kComponent, std::string(kSource), std::string(kNotADate));
  }
  std::string text;
  append_mmddyyyy(text, *day);
  ActiveDateText = std::move(text);
  ActiveMonth = static_cast<std::int16_t>(day->month);
  ActiveYear = static_cast<std::int16_t>(day->year);
}

Variant Calendar::GetActiveDate() const { return Variant(ActiveDateText); }

std::string Calendar::DisplayEmbedded(Variant& calName) {
  ConvertedText storage;
  // The name as it is written into the markup; an array or an object raises
  // a type mismatch here, before anything changes.
  const std::string_view name = inserted_text(calName, storage);
  Output out((DateScriptWritten ? 0 : kDateScript.size()) +
             (EmbeddedScriptWritten ? 0 : kEmbeddedScript.size()) + kEmbeddedCalendar.fixed_size +
             2 * name.size() + kNumbersSize);
  if (!DateScriptWritten) out.add(BuildDateScript());
  if (!EmbeddedScriptWritten) out.add(BuildEmbeddedScript());
  out.fill<kEmbeddedCalendar>(name, ActiveMonth, ActiveYear, name);
  DateScriptWritten = true;
  EmbeddedScriptWritten = true;
  return std::move(out).take();
}

std::string Calendar::DisplayPopup(Variant& calName) {
  ConvertedText storage;
  // The name as it is written into the markup; an array or an object raises
  // a type mismatch here, before anything changes.
  const std::string_view name = inserted_text(calName, storage);
  Output out((DateScriptWritten ? 0 : kDateScript.size()) +
             (PopupScriptWritten ? 0 : kPopupScript.size()) + kPopupCalendar.fixed_size +
             ActiveDateText.size() + 2 * name.size() + kNumbersSize + ImageURLText.size());
  if (!DateScriptWritten) out.add(BuildDateScript());
  if (!PopupScriptWritten) out.add(BuildPopupScript());
  out.fill<kPopupCalendar>(ActiveDateText, name, ActiveMonth, ActiveYear, name, ImageURLText);
  DateScriptWritten = true;
  PopupScriptWritten = true;
  return std::move(out).take();
}

}  // namespace vantrel
