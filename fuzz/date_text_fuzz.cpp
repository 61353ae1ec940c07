// Date text: any text is read as a real calendar date in range or refused,
// and a date written as text reads back as the same date.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "frame/automation_error.h"
#include "frame/dates.h"
#include "frame/variant.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto date = vantrel::parse_date_text(text);
  check(date.has_value() == vantrel::read_date(vantrel::Variant(text)).has_value());
  if (!date) return 0;
  const auto civil = vantrel::civil_date_of(*date);
  check(civil.has_value());
  check(vantrel::is_real_date(civil->year, civil->month, civil->day));
  check(civil->year >= vantrel::kFirstYear && civil->year <= vantrel::kLastYear);
  check(vantrel::time_of_day_of(*date).has_value());

  std::string written;
  vantrel::append_date_text(written, *date);
  // A time alone (on the zero date) is written without its date, and years
  // before 1000 with fewer than four digits: neither is date text. Every
  // other date reads back as itself.
  if (*civil == vantrel::CivilDate{1899, 12, 30} || civil->year < 1000) return 0;
  const auto again = vantrel::parse_date_text(written);
  check(again.has_value() && *again == *date);
  std::string mmddyyyy;
  vantrel::append_mmddyyyy(mmddyyyy, *civil);
  const auto day = vantrel::parse_date_text(mmddyyyy);
  check(day.has_value() && vantrel::civil_date_of(*day) == civil);
  return 0;
}
