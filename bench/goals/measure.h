#pragma once

#include <benchmark/benchmark.h>
#include <sched.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
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

// Runs `body` with the stack moved down, and the blocks it allocates moved
// along the heap, by an amount that differs from round to round, spread
// over 4 KB in steps of 16 bytes. How fast a few hundred stores and loads run
// depends on where their addresses lie against one another modulo 4 KB (the
// processor matches addresses by their last 12 bits at first: copying a
// fixed block into a result just past it modulo 4 KB took 62 ns where 47 ns
// was the rule), and a process gets one such layout when it starts: one run
// timed a later tab at 1.8x its baseline and the next at 2.4x, one build
// timed Show at 1.2x and the next at 1.5x. Moving both in every round makes
// a figure the median over many places.
template <class Body>
[[gnu::noinline]] void at_another_place(int round, Body&& body) {
  const std::size_t bytes = 16 + static_cast<std::size_t>(round) * 1040 % 4096;
  void* const below = __builtin_alloca(bytes);
  benchmark::DoNotOptimize(below);
  // Larger than the blocks the C library keeps per thread for reuse, so it
  // is carved from the end of the heap, and what the round allocates after
  // it lies that much further on.
  const std::unique_ptr<char[]> before(new char[4096 + bytes]);
  benchmark::DoNotOptimize(before.get());
  body();
}

// Keeps the processor busy for a fifth of a second before anything is
// timed: a processor that has been idle runs slower for a moment, and the
// first comparison of a run would be made while it speeds up.
inline void warm_up() {
  std::string from(4096, 'x'), to(4096, ' ');
  const double start = thread_ns();
  while (thread_ns() - start < 200e6) {
    for (int i = 0; i < 1000; ++i) {
      std::memcpy(to.data(), from.data(), from.size());
      benchmark::DoNotOptimize(to.data());
      benchmark::ClobberMemory();
    }
  }
}

// What one timed stretch pays for reading the clock at its two ends (the
// thread's CPU clock is a system call, some hundreds of nanoseconds),
// measured once and taken off every stretch: a short stretch would otherwise
// count it as part of what it times.
inline double clock_cost_ns() {
  static const double cost = [] {
    std::vector<double> stretches;
    for (int i = 0; i < 301; ++i) {
      const double start = thread_ns();
      stretches.push_back(thread_ns() - start);
    }
    return median(std::move(stretches));
  }();
  return cost;
}

// Nanoseconds spent in `body(i)` for i in [0, count), the clock's own cost
// taken off.
template <class Body>
double timed_ns(std::size_t count, Body&& body) {
  const double start = thread_ns();
  for (std::size_t i = 0; i < count; ++i) body(i);
  return std::max(0.0, thread_ns() - start - clock_cost_ns());
}

// Nanoseconds per call of `body(i)` for i in [0, count).
template <class Body>
double per_call_ns(std::size_t count, Body&& body) {
  return timed_ns(count, body) / static_cast<double>(count);
}

// Nanoseconds per call of each of `calls(object)`, each made `count` times,
// each time on its own copy of `prototype` (a call may move its object on,
// as a first call or a tab does). The copies are made before the clock
// starts, a group at a time, as many as fit in 16 KB, well within the
// processor's first-level cache: a page calls one object again and again and
// finds it there, where hundreds of copies would be timed coming from the
// next level. `objects` holds the copies between groups. The calls take
// turns group by group, so that all of them are timed over the same stretch
// of time: the machine's speed changes from one moment to the next by more
// than the few nanoseconds two ways of making one call may differ by.
template <class T, class... Calls>
std::array<double, sizeof...(Calls)> per_call_on_copies_in_turn(const T& prototype,
                                                                std::vector<T>& objects,
                                                                std::size_t count,
                                                                Calls&... calls) {
  constexpr std::size_t kGroupBytes = 16 * 1024;
  const std::size_t group = std::max<std::size_t>(1, kGroupBytes / sizeof(T));
  std::array<double, sizeof...(Calls)> ns{};
  for (std::size_t done = 0; done < count; done += group) {
    const std::size_t n = std::min(group, count - done);
    std::size_t which = 0;
    const auto time_group = [&](auto& call) {
      objects.assign(n, prototype);
      T* const first = objects.data();
      ns[which++] += timed_ns(n, [&](std::size_t i) { call(first[i]); });
    };
    (time_group(calls), ...);
  }
  for (double& each : ns) each /= static_cast<double>(count);
  return ns;
}

// The same for one call.
template <class T, class Call>
double per_call_on_copies(const T& prototype, std::vector<T>& objects, std::size_t count,
                          Call&& call) {
  return per_call_on_copies_in_turn(prototype, objects, count, call)[0];
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
