#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "bench/prepared_objects.h"
#include "components/tabs/tabs.h"

namespace vantrel {
namespace {

// The arguments, made once as a caller holds them (WriteTab only reads them).
Variant name(std::string_view("Overview")), url(std::string_view("overview.html"));

std::string write(Tabs& tabs) { return tabs.WriteTab(name, url); }

// The first tab of an object: strip header, panel and label.
void WriteTabFirst(benchmark::State& state) {
  bench::measure_first_output(state, bench::tab_strip(90, 3), write);
}
BENCHMARK(WriteTabFirst);

// A later tab: panel and label. The object starts over every 100 tabs, so the
// positions stay in range however long the run.
void WriteTabLater(benchmark::State& state) {
  Tabs prepared = bench::tab_strip(90, 100);
  write(prepared);
  Tabs tabs = prepared;
  int written = 0;
  bench::measure_output(state, [&] {
    if (++written == 100) {
      tabs = prepared;
      written = 0;
    }
    return write(tabs);
  });
}
BENCHMARK(WriteTabLater);

// A whole strip of N tabs in one object: the cost per tab does not grow with
// the number of tabs already written.
void WriteTabStrip(benchmark::State& state) {
  const auto count = static_cast<std::int16_t>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    Tabs tabs = bench::tab_strip(30, count);
    bytes = 0;
    for (std::int16_t i = 0; i < count; ++i) {
      const std::string out = write(tabs);
      bytes += out.size();
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(WriteTabStrip)->Arg(10)->Arg(100)->Arg(1000)->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantrel
