#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/copy_baseline.h"

// Output methods are measured beside a memcpy of the same number of bytes in
// the same run: the counter vs_memcpy is the method's time divided by the
// copy's, a figure that does not depend on the machine the way a raw time
// does. bytes_per_second is the method's own throughput.
namespace vantrel::bench {

// Puts the method's time beside that of allocate_and_copy of as many bytes,
// made as many times.
inline void report_against_copy(benchmark::State& state, double method_ns, std::size_t bytes) {
  using Clock = std::chrono::steady_clock;
  const std::string source(bytes, 'x');
  const auto copy_start = Clock::now();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) allocate_and_copy(source);
  const double copy_ns =
      std::chrono::duration<double, std::nano>(Clock::now() - copy_start).count();

  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["vs_memcpy"] = copy_ns > 0 ? method_ns / copy_ns : 0;
}

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
  report_against_copy(state, std::chrono::duration<double, std::nano>(Clock::now() - start).count(),
                      bytes);
}

// The first call of an object (or any call that moves it on), each on a
// fresh copy of `prototype`. The copies are made a group at a time with the
// counter's clock stopped, so that vs_memcpy holds the calls alone.
template <class T, class Call>
void measure_first_output(benchmark::State& state, const T& prototype, Call call) {
  using Clock = std::chrono::steady_clock;
  constexpr benchmark::IterationCount kGroup = 64;
  std::vector<T> objects;
  std::size_t bytes = 0;
  double method_ns = 0;
  while (state.KeepRunningBatch(kGroup)) {
    objects.assign(kGroup, prototype);
    const auto start = Clock::now();
    for (T& object : objects) {
      std::string out = call(object);
      bytes = out.size();
      benchmark::DoNotOptimize(out.data());
    }
    method_ns += std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  }
  report_against_copy(state, method_ns, bytes);
}

}  // namespace vantrel::bench
