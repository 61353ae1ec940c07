#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string_view>

namespace vantrel::bench {

// The baseline every output method is measured against: one allocation and
// one copy of as many bytes as the method returns, freed again as a caller
// frees a result (allocated, not cleared: one pass over the bytes).
inline void allocate_and_copy(std::string_view bytes) {
  std::unique_ptr<char[]> copy(new char[bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  benchmark::DoNotOptimize(copy.get());
  benchmark::ClobberMemory();
}

}  // namespace vantrel::bench
