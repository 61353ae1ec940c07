#include "frame/dates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/clock.h"

namespace vantrel {
namespace {

std::string mmddyyyy(Date date) {
  std::string out;
  append_mmddyyyy(out, *civil_date_of(date));
  return out;
}

TEST(DateText, AcceptedFormsReadAsTheirCalendarDate) {
  struct Case {
    const char* text;
    const char* date;  // mm/dd/yyyy
    TimeOfDay time;
  };
  const std::vector<Case> cases = {
      {"2/14/2003", "02/14/2003", {}},
      {"02/14/2003", "02/14/2003", {}},
      {"2-14-2003", "02/14/2003", {}},
      {" 2/14/2003 ", "02/14/2003", {}},
      {"02/14/2003 10:30", "02/14/2003", {10, 30, 0}},
      {"2/14/2003 10:30:15", "02/14/2003", {10, 30, 15}},
      {"2/14/2003 10:30 PM", "02/14/2003", {22, 30, 0}},
      {"2/14/2003 12:00 am", "02/14/2003", {0, 0, 0}},
      {"2/14/2003 12:00PM", "02/14/2003", {12, 0, 0}},
      {"2003-02-14", "02/14/2003", {}},
      {"2003/2/14", "02/14/2003", {}},
      {"2003-02-14T08:05", "02/14/2003", {8, 5, 0}},
      {"February 14, 2003", "02/14/2003", {}},
      {"february 14 2003", "02/14/2003", {}},
      {"Feb 14, 2003", "02/14/2003", {}},
      {"14 Feb 2003", "02/14/2003", {}},
      {"14 February, 2003", "02/14/2003", {}},
      {"SEP 1 03", "09/01/2003", {}},
      {"2/14/03", "02/14/2003", {}},
      {"2/14/29", "02/14/2029", {}},
      {"2/14/30", "02/14/1930", {}},
      {"2/14/99", "02/14/1999", {}},
      {"2/14/00", "02/14/2000", {}},
      {"2/29/2004", "02/29/2004", {}},
      {"2/29/2000", "02/29/2000", {}},
      {"12/31/9999", "12/31/9999", {}},
      {"1/1/0100", "01/01/0100", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto date = parse_date_text(c.text);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(mmddyyyy(*date), c.date);
    const TimeOfDay time = *time_of_day_of(*date);
    EXPECT_EQ(time.hour, c.time.hour);
    EXPECT_EQ(time.minute, c.time.minute);
    EXPECT_EQ(time.second, c.time.second);
  }
}

TEST(DateText, TextThatIsNoRealCalendarDateIsRefused) {
  for (const char* text : {"",
                           " ",
                           "abc",
                           "2/30/2003",
                           "13/45/2003",
                           "February 30, 2003",
                           "2/29/2003",
                           "2/29/1900",
                           "0/10/2003",
                           "1/0/2003",
                           "2/14",
                           "2/14/2003 25:00",
                           "2/14/2003 10:60",
                           "2/14/2003 13:00 PM",
                           "2/14/2003 0:30 AM",
                           "2/14/2003 10",
                           "2/14/2003 x",
                           "2/14/2003,",
                           "2/14-2003",
                           "5",
                           "2.5",
                           "True",
                           "10:30",
                           "2/14/203",
                           "2/14/20033",
                           "1/1/0099",
                           "14/2/2003",
                           "Febr 14 2003",
                           "2003-02-14-",
                           "02/14/2003 10:30:5",
                           "2003-2-14 PM"}) {
    EXPECT_FALSE(parse_date_text(text).has_value()) << '"' << text << '"';
  }
}

TEST(DateTest, OnlyDatesAndDateTextPass) {
  EXPECT_TRUE(read_date(Variant(make_date({2003, 2, 14}, {10, 30, 0}))).has_value());
  EXPECT_TRUE(read_date(Variant(std::string_view("2/14/2003"))).has_value());
  EXPECT_FALSE(read_date(Variant()).has_value());
  EXPECT_FALSE(read_date(Variant::null()).has_value());
  EXPECT_FALSE(read_date(Variant(std::int32_t{5})).has_value());
  EXPECT_FALSE(read_date(Variant(37666.0)).has_value());
  EXPECT_FALSE(read_date(Variant(true)).has_value());
  EXPECT_FALSE(read_date(Variant::object()).has_value());
  EXPECT_FALSE(read_date(Variant(Date{1e9})).has_value());
}

TEST(SerialDates, RoundTripAcrossTheRangeAndTheEpoch) {
  EXPECT_EQ(make_date({1899, 12, 30}).serial, 0);
  EXPECT_EQ(make_date({2003, 2, 14}).serial, 37666);
  EXPECT_EQ(make_date({1899, 12, 29}, {6, 0, 0}).serial, -1.25);
  for (const CivilDate date : {CivilDate{100, 1, 1}, CivilDate{1899, 12, 29}, CivilDate{1900, 3, 1},
                               CivilDate{2000, 2, 29}, CivilDate{9999, 12, 31}}) {
    EXPECT_EQ(*civil_date_of(make_date(date, {23, 59, 59})), date);
  }
  EXPECT_FALSE(civil_date_of(Date{make_date({100, 1, 1}).serial - 1}).has_value());
  EXPECT_FALSE(civil_date_of(Date{make_date({9999, 12, 31}).serial + 1}).has_value());
}

TEST(SerialDates, FormatAsMmDdYyyy) {
  std::string out;
  append_mmddyyyy(out, {2026, 12, 6});
  out += ' ';
  append_mmddyyyy(out, {100, 1, 1});
  EXPECT_EQ(out, "12/06/2026 01/01/0100");
}

TEST(Clock, TestsCanFixToday) {
  {
    const ClockOverride fixed([] { return CivilDate{2003, 2, 14}; });
    EXPECT_EQ(today(), (CivilDate{2003, 2, 14}));
  }
  const CivilDate real = today();
  EXPECT_TRUE(is_real_date(real.year, real.month, real.day));
}

}  // namespace
}  // namespace vantrel
