#include "frame/dates.h"

#include <array>
#include <cmath>

#include "frame/automation_error.h"
#include "frame/text.h"

namespace vantrel {

namespace {

// Days from 1 January 1970 to a calendar date (proleptic Gregorian).
constexpr long days_from_civil(int y, int m, int d) noexcept {
  y -= m <= 2 ? 1 : 0;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

constexpr CivilDate civil_from_days(long z) noexcept {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  return {y, m, d};
}

// Serial day 0 is 30 December 1899.
constexpr long kSerialEpoch = days_from_civil(1899, 12, 30);
constexpr long kFirstSerialDay = days_from_civil(kFirstYear, 1, 1) - kSerialEpoch;
constexpr long kLastSerialDay = days_from_civil(kLastYear, 12, 31) - kSerialEpoch;

struct SplitDate {
  long day;
  long seconds;  // 0 to 86399
};

// A serial date's day and time; the time is the fraction's distance from the
// day, also for days before the epoch (-1.25 is 29 December 1899, 6:00).
std::optional<SplitDate> split(Date date) noexcept {
  if (!std::isfinite(date.serial)) return std::nullopt;
  const double whole = std::trunc(date.serial);
  if (whole < kFirstSerialDay || whole > kLastSerialDay) return std::nullopt;
  long day = static_cast<long>(whole);
  long seconds = std::lround(std::fabs(date.serial - whole) * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;
    if (day > kLastSerialDay) return std::nullopt;
  }
  return SplitDate{day, seconds};
}

void append_two_digits(std::string& out, int value) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

constexpr std::array<std::string_view, 12> kMonthNames = {
    "january", "february", "march",     "april",   "may",      "june",
    "july",    "august",   "september", "october", "november", "december"};

// A cursor over date text.
class DateReader {
 public:
  explicit DateReader(std::string_view text) : text_(text) {}

  bool at_end() const { return pos_ == text_.size(); }
  char peek() const { return at_end() ? '\0' : text_[pos_]; }

  bool skip_blanks() {
    const std::size_t start = pos_;
    while (!at_end() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    return pos_ != start;
  }

  bool take(char c) {
    if (peek() != c) return false;
    ++pos_;
    return true;
  }

  // A run of digits: its value and how many digits it had.
  bool number(int& value, int& digits) {
    value = 0;
    digits = 0;
    while (!at_end() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      if (digits == 4) return false;  // no part of a date has more
      value = value * 10 + (text_[pos_] - '0');
      ++digits;
      ++pos_;
    }
    return digits > 0;
  }

  // A full English month name or its three-letter abbreviation.
  bool month_name(int& month) {
    std::size_t end = pos_;
    while (end < text_.size() && ascii_lower(text_[end]) >= 'a' && ascii_lower(text_[end]) <= 'z') {
      ++end;
    }
    const std::string_view word = text_.substr(pos_, end - pos_);
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
      if (equals_ignoring_case(word, kMonthNames[i]) ||
          equals_ignoring_case(word, kMonthNames[i].substr(0, 3))) {
        month = static_cast<int>(i) + 1;
        pos_ = end;
        return true;
      }
    }
    return false;
  }

  bool word(std::string_view expected) {
    if (!equals_ignoring_case(text_.substr(pos_, expected.size()), expected)) return false;
    pos_ += expected.size();
    return true;
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Four digits give the year itself, two digits a year of the window.
bool year_of(int value, int digits, int& year) {
  if (digits == 2) {
    year = value < 30 ? 2000 + value : 1900 + value;
    return true;
  }
  year = value;
  return digits == 4 && value >= kFirstYear;
}

bool read_calendar_date(DateReader& in, CivilDate& date) {
  int a = 0, a_digits = 0, b = 0, b_digits = 0, c = 0, c_digits = 0;
  int month = 0;
  if (in.month_name(month)) {  // February 14, 2003
    if (!in.skip_blanks() || !in.number(b, b_digits) || b_digits > 2) return false;
    in.take(',');
    in.skip_blanks();
    if (!in.number(c, c_digits)) return false;
    date = {0, month, b};
    return year_of(c, c_digits, date.year);
  }
  if (!in.number(a, a_digits)) return false;
  if (in.skip_blanks()) {  // 14 Feb 2003
    if (a_digits > 2 || !in.month_name(month)) return false;
    in.take(',');
    in.skip_blanks();
    if (!in.number(c, c_digits)) return false;
    date = {0, month, a};
    return year_of(c, c_digits, date.year);
  }
  const char separator = in.peek();
  if (separator != '/' && separator != '-') return false;
  in.take(separator);
  if (!in.number(b, b_digits) || b_digits > 2 || !in.take(separator)) return false;
  if (!in.number(c, c_digits)) return false;
  if (a_digits == 4) {  // 2003-02-14
    if (c_digits > 2 || a < kFirstYear) return false;
    date = {a, b, c};
    return true;
  }
  if (a_digits > 2) return false;
  date = {0, a, b};  // 2/14/2003
  return year_of(c, c_digits, date.year);
}

bool read_time(DateReader& in, TimeOfDay& time) {
  int hour = 0, hour_digits = 0, value = 0, digits = 0;
  if (!in.number(hour, hour_digits) || hour_digits > 2 || !in.take(':')) return false;
  if (!in.number(value, digits) || digits != 2 || value > 59) return false;
  time = {hour, value, 0};
  if (in.take(':')) {
    if (!in.number(value, digits) || digits != 2 || value > 59) return false;
    time.second = value;
  }
  in.skip_blanks();
  const bool am = in.word("AM");
  const bool pm = !am && in.word("PM");
  if (am || pm) {
    if (hour < 1 || hour > 12) return false;
    time.hour = (hour % 12) + (pm ? 12 : 0);
  } else if (hour > 23) {
    return false;
  }
  return true;
}

}  // namespace

bool is_leap_year(int year) noexcept {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) noexcept {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

bool is_real_date(int year, int month, int day) noexcept {
  return year >= kFirstYear && year <= kLastYear && day >= 1 && day <= days_in_month(year, month);
}

Date make_date(CivilDate date, TimeOfDay time) noexcept {
  const long day = days_from_civil(date.year, date.month, date.day) - kSerialEpoch;
  const double fraction = (time.hour * 3600 + time.minute * 60 + time.second) / 86400.0;
  return Date{day >= 0 ? day + fraction : day - fraction};
}

std::optional<CivilDate> civil_date_of(Date date) noexcept {
  const auto parts = split(date);
  if (!parts) return std::nullopt;
  return civil_from_days(parts->day + kSerialEpoch);
}

std::optional<TimeOfDay> time_of_day_of(Date date) noexcept {
  const auto parts = split(date);
  if (!parts) return std::nullopt;
  const int s = static_cast<int>(parts->seconds);
  return TimeOfDay{s / 3600, s / 60 % 60, s % 60};
}

std::optional<Date> parse_date_text(std::string_view text) noexcept {
  DateReader in(text);
  in.skip_blanks();
  CivilDate date;
  if (!read_calendar_date(in, date) || !is_real_date(date.year, date.month, date.day)) {
    return std::nullopt;
  }
  TimeOfDay time;
  const bool blank = in.skip_blanks();
  if (!in.at_end()) {
    if (!blank && !in.take('T')) return std::nullopt;
    if (!read_time(in, time)) return std::nullopt;
    in.skip_blanks();
    if (!in.at_end()) return std::nullopt;
  }
  return make_date(date, time);
}

std::optional<Date> read_date(const Variant& value) noexcept {
  switch (value.kind()) {
    case Variant::Kind::Date:
      if (!civil_date_of(value.date())) return std::nullopt;
      return value.date();
    case Variant::Kind::String:
      return parse_date_text(value.string());
    default:
      return std::nullopt;
  }
}

void append_mmddyyyy(std::string& out, CivilDate date) {
  append_two_digits(out, date.month);
  out.push_back('/');
  append_two_digits(out, date.day);
  out.push_back('/');
  append_two_digits(out, date.year / 100);
  append_two_digits(out, date.year % 100);
}

void append_date_text(std::string& out, Date date) {
  const auto parts = split(date);
  if (!parts) raise_overflow();
  const CivilDate day = civil_from_days(parts->day + kSerialEpoch);
  if (parts->day != 0 || parts->seconds == 0) {
    append_number(out, std::int64_t{day.month});
    out.push_back('/');
    append_number(out, std::int64_t{day.day});
    out.push_back('/');
    append_number(out, std::int64_t{day.year});
    if (parts->seconds == 0) return;
    out.push_back(' ');
  }
  const long hour = parts->seconds / 3600;
  append_number(out, std::int64_t{hour % 12 == 0 ? 12 : hour % 12});
  out.push_back(':');
  append_two_digits(out, static_cast<int>(parts->seconds / 60 % 60));
  out.push_back(':');
  append_two_digits(out, static_cast<int>(parts->seconds % 60));
  out.append(hour < 12 ? " AM" : " PM");
}

}  // namespace vantrel
