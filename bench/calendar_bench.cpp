#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "components/calendar/calendar.h"

namespace vantrel {
namespace {

Calendar at_14_feb_2003() {
  Calendar cal;
  Variant date(std::string_view("2/14/2003"));
  cal.LetActiveDate(date);
  return cal;
}

// First calls carry the script blocks (date and grid, or date and popup);
// later calls only their markup.
void DisplayEmbeddedFirst(benchmark::State& state) {
  Variant name(std::string_view("cal1"));
  bench::measure_first_output(state, at_14_feb_2003(),
                              [&](Calendar& cal) { return cal.DisplayEmbedded(name); });
}
BENCHMARK(DisplayEmbeddedFirst);

void DisplayEmbeddedLater(benchmark::State& state) {
  Calendar cal = at_14_feb_2003();
  Variant name(std::string_view("cal1"));
  cal.DisplayEmbedded(name);
  bench::measure_output(state, [&] { return cal.DisplayEmbedded(name); });
}
BENCHMARK(DisplayEmbeddedLater);

void DisplayPopupFirst(benchmark::State& state) {
  Variant name(std::string_view("StartDate"));
  bench::measure_first_output(state, at_14_feb_2003(),
                              [&](Calendar& cal) { return cal.DisplayPopup(name); });
}
BENCHMARK(DisplayPopupFirst);

void DisplayPopupLater(benchmark::State& state) {
  Calendar cal = at_14_feb_2003();
  Variant name(std::string_view("StartDate"));
  cal.DisplayPopup(name);
  bench::measure_output(state, [&] { return cal.DisplayPopup(name); });
}
BENCHMARK(DisplayPopupLater);

}  // namespace
}  // namespace vantrel
