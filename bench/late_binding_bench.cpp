// The cost of late binding itself: finding a member by name, and a whole
// call by name of a member that does almost nothing.
#include <benchmark/benchmark.h>

#include "components/catalog.h"
#include "components/tree/tree.h"
#include "frame/dispatch.h"

namespace vantrel {
namespace {

void NameLookUp(benchmark::State& state) {
  const ClassDescriptor& tree = *vantrel_library().find_class("Vantrel.Tree");
  for (auto _ : state) {
    benchmark::DoNotOptimize(find_dispatch_id(tree, "writenode"));  // through the class's index
  }
}
BENCHMARK(NameLookUp);

void ClassLookUp(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(vantrel_library().find_class("vantrel.tree"));
  }
}
BENCHMARK(ClassLookUp);

}  // namespace
}  // namespace vantrel
