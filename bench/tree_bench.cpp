#include <benchmark/benchmark.h>

#include <string>

#include "bench/output_bench.h"
#include "components/tree/tree.h"

namespace vantrel {
namespace {

// A tree that has returned its script, as every call after a page's first
// one finds it.
Tree started_tree() {
  Tree tree;
  tree.LetTextClass("menu");
  tree.Initialize();
  return tree;
}

void TreeFirstHeader(benchmark::State& state) {
  bench::measure_first_output(state, Tree(),
                              [](Tree& tree) { return tree.WriteMenuHeader("Reports"); });
}
BENCHMARK(TreeFirstHeader);

void TreeHeader(benchmark::State& state) {
  const Tree started = started_tree();
  Tree tree = started;
  int headers = 0;
  bench::measure_output(state, [&] {
    // Menu numbers end at 32767: start again well before.
    if (++headers == 30000) {
      tree = started;
      headers = 0;
    }
    return tree.WriteMenuHeader("Reports");
  });
}
BENCHMARK(TreeHeader);

void TreeNode(benchmark::State& state) {
  Tree tree = started_tree();
  tree.WriteMenuHeader("Reports");
  bench::measure_output(
      state, [&] { return tree.WriteNode("Stock levels", "reports/stock.asp", "main", ""); });
}
BENCHMARK(TreeNode);

void TreeNodeWithImage(benchmark::State& state) {
  Tree tree = started_tree();
  tree.WriteMenuHeader("Reports");
  bench::measure_output(state, [&] {
    return tree.WriteNode("Sales by region", "reports/sales.asp", "main",
                          "/images/icons/chart.gif");
  });
}
BENCHMARK(TreeNodeWithImage);

void TreeFooter(benchmark::State& state) {
  Tree tree = started_tree();
  bench::measure_output(state, [&] { return tree.WriteMenuFooter(); });
}
BENCHMARK(TreeFooter);

// A whole page of N nodes in menus of ten, each call's string appended to
// the page as the host writes it: the cost grows linearly with N.
void TreeOfNodes(benchmark::State& state) {
  const auto nodes = state.range(0);
  bench::measure_output(state, [nodes] {
    Tree tree;
    std::string page = tree.WriteExpandCollapse();
    for (std::int64_t i = 0; i < nodes; ++i) {
      if (i % 10 == 0) {
        if (i > 0) page += tree.WriteMenuFooter();
        page += tree.WriteMenuHeader("Menu");
      }
      page += tree.WriteNode("Stock levels", "reports/stock.asp", "main", "");
    }
    page += tree.WriteMenuFooter();
    return page;
  });
  state.SetComplexityN(nodes);
}
BENCHMARK(TreeOfNodes)->RangeMultiplier(10)->Range(100, 10000)->Complexity(benchmark::oN);

// The same calls with each result dropped once written: the library's own
// share of the page's cost, without the page's growing buffer.
void TreeOfNodesCalls(benchmark::State& state) {
  const auto nodes = state.range(0);
  std::size_t bytes = 0;
  for (auto _ : state) {
    Tree tree;
    bytes = tree.WriteExpandCollapse().size();
    for (std::int64_t i = 0; i < nodes; ++i) {
      if (i % 10 == 0) {
        if (i > 0) bytes += tree.WriteMenuFooter().size();
        bytes += tree.WriteMenuHeader("Menu").size();
      }
      std::string node = tree.WriteNode("Stock levels", "reports/stock.asp", "main", "");
      benchmark::DoNotOptimize(node.data());
      bytes += node.size();
    }
    bytes += tree.WriteMenuFooter().size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["ns_per_node"] =
      benchmark::Counter(static_cast<double>(nodes) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetComplexityN(nodes);
}
BENCHMARK(TreeOfNodesCalls)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);

}  // namespace
}  // namespace vantrel
