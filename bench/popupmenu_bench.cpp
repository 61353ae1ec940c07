#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "components/popupmenu/popupmenu.h"

namespace vantrel {
namespace {

// A menu as pages build them: a title, then items with a rule now and then.
void add_rows(PopupMenu& menu, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    if (i % 10 == 0) {
      menu.AddMenuTitle("Section");
    } else if (i % 10 == 9) {
      menu.AddHorizontalRule("images/pixel.gif");
    } else {
      menu.AddMenuItem("Open the order", "parent.location.href='order.asp'", "images/open.gif");
    }
  }
}

// Wrapping the gathered rows: a copy of MenuRows between two fixed blocks.
void EmbedPopupMenu(benchmark::State& state) {
  PopupMenu menu;
  add_rows(menu, state.range(0));
  bench::measure_output(state, [&] { return menu.EmbedPopupMenu(); });
}
BENCHMARK(EmbedPopupMenu)->Arg(10)->Arg(100)->Arg(1820);

// Building a menu row by row: MenuRows grows by appending, so the whole menu
// costs time linear in its rows.
void AddRows(benchmark::State& state) {
  for (auto _ : state) {
    PopupMenu menu;
    add_rows(menu, state.range(0));
    benchmark::DoNotOptimize(menu);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(AddRows)->RangeMultiplier(4)->Range(512, 32767)->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantrel
