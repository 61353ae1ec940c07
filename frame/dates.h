#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame/variant.h"

// Dates as the automation platform knows them: serial dates (Date), calendar
// dates, the date test, the reading of date text, and the two written forms.
namespace vantrel {

struct CivilDate {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  friend bool operator==(CivilDate, CivilDate) = default;
};

struct TimeOfDay {
  int hour = 0;  // 0 to 23
  int minute = 0;
  int second = 0;
};

// Serial dates cover 1 January 100 to 31 December 9999.
inline constexpr int kFirstYear = 100;
inline constexpr int kLastYear = 9999;

bool is_leap_year(int year) noexcept;
int days_in_month(int year, int month) noexcept;
bool is_real_date(int year, int month, int day) noexcept;

Date make_date(CivilDate date, TimeOfDay time = {}) noexcept;
// The calendar date and time of a serial date; nullopt outside the range.
std::optional<CivilDate> civil_date_of(Date date) noexcept;
std::optional<TimeOfDay> time_of_day_of(Date date) noexcept;

// Reads date text, returning nullopt for anything that is not a real calendar
// date. Accepted, with blanks around and between parts, case ignored:
//   month/day/year and month-day-year (1 or 2 digits each for month and day),
//   year-month-day and year/month/day with a four-digit year,
//   "February 14, 2003", "Feb 14 2003", "14 Feb 2003", "14 February, 2003"
//     (full English month names or their three-letter abbreviations),
// each optionally followed by a time of day: h:mm or h:mm:ss, 24-hour, or
// 12-hour with AM or PM. Years have four digits (100 to 9999) or two
// (00 to 29 mean 2000 to 2029, 30 to 99 mean 1930 to 1999).
std::optional<Date> parse_date_text(std::string_view text) noexcept;

// The date test: a date value, or text that reads as a date. Empty, null,
// numbers and truth values are not dates.
std::optional<Date> read_date(const Variant& value) noexcept;

// "mm/dd/yyyy": two-digit month and day, four-digit year.
void append_mmddyyyy(std::string& out, CivilDate date);
// The text a date converts to: "m/d/yyyy", then " h:mm:ss AM" when it has a
// time of day; a time alone when the date is the zero date.
void append_date_text(std::string& out, Date date);

}  // namespace vantrel
