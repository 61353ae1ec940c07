#pragma once

#include <duktape.h>

#include <chrono>
#include <cstddef>

#include "host/small_blocks.h"

// A script heap that runs pages under a time limit and a memory cap.
//
// Time: the engine stops every few hundred thousand instructions to ask
// whether the deadline has passed; once it has, every further stop raises an
// error, so the page unwinds whatever it catches. Memory: every allocation
// the engine makes is counted, together with what the host holds for the
// page (`set_held_outside`), and one that would pass the cap is refused; the
// engine collects garbage and retries before it raises an error.
namespace vantrel::host {

// What the host keeps with a heap for its native functions, found without
// a property look-up (they ask on every call).
struct HostData {
  void* page = nullptr;          // the page's state (host/page_host.cpp)
  void* object_parts = nullptr;  // the library objects' proxy parts (host/library_objects.cpp)
};

class ScriptHeap {
 public:
  // Zero means no limit. The clock starts now.
  ScriptHeap(std::chrono::milliseconds timeout, std::size_t memory_bytes);
  ~ScriptHeap();
  ScriptHeap(const ScriptHeap&) = delete;
  ScriptHeap& operator=(const ScriptHeap&) = delete;

  // Null when the engine could not start (out of memory).
  duk_context* context() const { return ctx_; }

  bool timed_out() const { return budget_.timed_out; }
  // Whether an allocation was refused: by the cap, or by the system.
  bool refused_memory() const { return budget_.refused_by_cap || budget_.refused_by_system; }
  bool refused_by_cap() const { return budget_.refused_by_cap; }

  // What the host keeps with this heap (see host_data).
  HostData& host() { return budget_.host; }

  // Whether `more` bytes held by the host for the page, on top of `held`,
  // stay under the cap; records a refusal when they do not.
  bool admit_outside(std::size_t held, std::size_t more);

  struct Budget {
    std::chrono::steady_clock::time_point deadline;
    bool has_deadline = false;
    std::size_t cap = 0;  // zero: none
    std::size_t in_use = 0;
    bool timed_out = false;
    bool refused_by_cap = false;
    bool refused_by_system = false;
    SmallBlocks* small = nullptr;
    HostData host;
  };

 private:
  // The small blocks of a heap without a memory cap stop growing here.
  static constexpr std::size_t kSmallBlocksUncapped = std::size_t{256} << 20;

  SmallBlocks small_;
  Budget budget_;
  duk_context* ctx_ = nullptr;
};

// Moves the deadline of the heap behind `ctx` (made by ScriptHeap with a
// time limit); a page that has timed out stays timed out.
void set_deadline(duk_context* ctx, std::chrono::steady_clock::time_point deadline);

// The host's data of the heap behind `ctx`; null for heaps not made by
// ScriptHeap.
HostData* host_data(duk_context* ctx);

// Records that the host ran out of memory while serving the heap behind
// `ctx` (a C++ allocation failed), for heaps made by ScriptHeap.
void note_out_of_memory(duk_context* ctx);

}  // namespace vantrel::host
