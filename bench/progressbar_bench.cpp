#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "bench/prepared_objects.h"
#include "components/catalog.h"
#include "components/progressbar/progressbar.h"
#include "frame/dispatch.h"

namespace vantrel {
namespace {

void ProgressBarShow(benchmark::State& state) {
  ProgressBar bar = bench::configured_bar();
  Variant during(false), after(false);
  bench::measure_output(state, [&] { return bar.Show(during, after); });
}
BENCHMARK(ProgressBarShow);

void ProgressBarShowHidingBoth(benchmark::State& state) {
  ProgressBar bar = bench::configured_bar();
  Variant during(true), after(true);
  bench::measure_output(state, [&] { return bar.Show(during, after); });
}
BENCHMARK(ProgressBarShowHidingBoth);

// The way a page calls it: by name, with the caller's variables.
void ProgressBarShowByName(benchmark::State& state) {
  const ClassDescriptor& cls = *vantrel_library().find_class("Vantrel.ProgressBar");
  ProgressBar bar = bench::configured_bar();
  bench::measure_output(state, [&] {
    Variant during(std::int32_t{1}), after(std::int32_t{1});
    Variant* args[] = {&during, &after};
    return invoke(cls, &bar, "Show", MemberKind::Method, args).string();
  });
}
BENCHMARK(ProgressBarShowByName);

void ProgressBarSetValue(benchmark::State& state) {
  ProgressBar bar = bench::configured_bar();
  Variant value(std::int32_t{125});
  bench::measure_output(state, [&] { return bar.SetValue(value); });
}
BENCHMARK(ProgressBarSetValue);

void ProgressBarHideOutput(benchmark::State& state) {
  ProgressBar bar = bench::configured_bar();
  Variant hidden(false);
  bench::measure_output(state, [&] { return bar.HideOutput(hidden); });
}
BENCHMARK(ProgressBarHideOutput);

}  // namespace
}  // namespace vantrel
