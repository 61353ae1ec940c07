#pragma once

#include <benchmark/benchmark.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/copy_baseline.h"

// Timing for the goal table. On a shared machine a single run says little,
// so every figure is the median of many rounds, and in each round the things
// compared are timed one right after the other (interleaved), so that a busy
// moment touches both sides of a ratio alike. Times are the thread's own CPU
// time: a time slice given to another process is not counted.
namespace vantrel::goals {

// Keeps the calling thread, and the processes it starts, on the processor it
// is on: the two sides of every comparison (a method and its baselines, the
// page host and Jinja2) take turns on one processor, so that a busy moment
// on either processor of the machine touches both alike.
class OneProcessor {
 public:
  OneProcessor() {
    const int cpu = sched_getcpu();
    if (cpu < 0 || sched_getaffinity(0, sizeof before_, &before_) != 0) return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    pinned_ = sched_setaffinity(0, sizeof one, &one) == 0;
  }
  ~OneProcessor() {
    if (pinned_) sched_setaffinity(0, sizeof before_, &before_);
  }
  OneProcessor(const OneProcessor&) = delete;
  OneProcessor& operator=(const OneProcessor&) = delete;

 private:
  cpu_set_t before_{};
  bool pinned_ = false;
};

inline double thread_ns() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

inline double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Nanoseconds per call of `body(i)` for i in [0, count).
template <class Body>
double per_call_ns(std::size_t count, Body&& body) {
  const double start = thread_ns();
  for (std::size_t i = 0; i < count; ++i) body(i);
  return (thread_ns() - start) / static_cast<double>(count);
}

// The two baselines of an output of `bytes` bytes, per call: a copy into a
// buffer that exists already, and an allocation plus a copy, freed again as
// a caller frees a result.
struct CopyBaselines {
  explicit CopyBaselines(std::size_t bytes) : source(bytes, 'x'), target(new char[bytes + 1]) {}

  double copy_ns(std::size_t count) {
    return per_call_ns(count, [&](std::size_t) {
      std::memcpy(target.get(), source.data(), source.size());
      benchmark::DoNotOptimize(target.get());
      benchmark::ClobberMemory();
    });
  }
  double allocate_and_copy_ns(std::size_t count) {
    return per_call_ns(count, [&](std::size_t) { bench::allocate_and_copy(source); });
  }

  std::string source;
  std::unique_ptr<char[]> target;
};

}  // namespace vantrel::goals
