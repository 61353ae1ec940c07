#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "bench/prepared_objects.h"
#include "components/popupmenu/popupmenu.h"

namespace vantrel {
namespace {

// Wrapping the gathered rows: a copy of MenuRows between two fixed blocks.
void EmbedPopupMenu(benchmark::State& state) {
  PopupMenu menu;
  bench::add_menu_rows(menu, state.range(0));
  bench::measure_output(state, [&] { return menu.EmbedPopupMenu(); });
}
BENCHMARK(EmbedPopupMenu)->Arg(10)->Arg(100)->Arg(1820);

// Building a menu row by row: MenuRows grows by appending, so the whole menu
// costs time linear in its rows.
void AddRows(benchmark::State& state) {
  for (auto _ : state) {
    PopupMenu menu;
    bench::add_menu_rows(menu, state.range(0));
    benchmark::DoNotOptimize(menu);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(AddRows)->RangeMultiplier(4)->Range(512, 32767)->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantrel
