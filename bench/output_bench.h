#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/copy_baseline.h"

// Output methods are measured beside a memcpy of the same number of bytes in
// the same run: the counter vs_memcpy is the method's time divided by the
// copy's, a figure that does not depend on the machine the way a raw time
// does. bytes_per_second is the method's own throughput.
namespace vantrel::bench {

template <class Produce>
void measure_output(benchmark::State& state, Produce produce) {
  using Clock = std::chrono::steady_clock;
  std::size_t bytes = 0;
  const auto start = Clock::now();
  for (auto _ : state) {
    std::string out = produce();
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  const double method_ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();

  // The copy: the same bytes, the same number of times.
  const std::string source(bytes, 'x');
  const auto copy_start = Clock::now();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) allocate_and_copy(source);
  const double copy_ns =
      std::chrono::duration<double, std::nano>(Clock::now() - copy_start).count();

  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["vs_memcpy"] = copy_ns > 0 ? method_ns / copy_ns : 0;
}

}  // namespace vantrel::bench
