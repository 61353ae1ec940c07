#include <benchmark/benchmark.h>

#include "bench/output_bench.h"
#include "components/autocomplete/autocomplete.h"
#include "components/catalog.h"
#include "frame/dispatch.h"

namespace vantrel {
namespace {

void EmbedAutoCompleteFirst(benchmark::State& state) {
  bench::measure_first_output(state, AutoComplete(), [](AutoComplete& ac) {
    return ac.EmbedAutoComplete("State", "StateList", true, true);
  });
}
BENCHMARK(EmbedAutoCompleteFirst);

void EmbedAutoCompleteLater(benchmark::State& state) {
  AutoComplete ac;
  ac.EmbedAutoComplete("State", "StateList", true, true);
  bench::measure_output(state,
                        [&] { return ac.EmbedAutoComplete("State", "StateList", true, true); });
}
BENCHMARK(EmbedAutoCompleteLater);

// The same calls the way a page makes them: by name, with automation values.
const ClassDescriptor& kAutoCompleteClass = *vantrel_library().find_class("Vantrel.AutoComplete");

std::string embed_by_name(AutoComplete& ac) {
  Variant field(std::string_view("State")), list(std::string_view("StateList")), yes(true);
  Variant* args[] = {&field, &list, &yes, &yes};
  return invoke(kAutoCompleteClass, &ac, "EmbedAutoComplete", MemberKind::Method, args).string();
}

void EmbedAutoCompleteFirstByName(benchmark::State& state) {
  bench::measure_first_output(state, AutoComplete(), embed_by_name);
}
BENCHMARK(EmbedAutoCompleteFirstByName);

void EmbedAutoCompleteLaterByName(benchmark::State& state) {
  AutoComplete ac;
  embed_by_name(ac);
  bench::measure_output(state, [&] { return embed_by_name(ac); });
}
BENCHMARK(EmbedAutoCompleteLaterByName);

}  // namespace
}  // namespace vantrel
