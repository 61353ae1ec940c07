#pragma once

#include "frame/dates.h"

// The server's local clock, read for today's date. Tests put a fixed clock in
// its place.
namespace vantrel {

using TodayFunction = CivilDate (*)();

CivilDate today();

// Replaces the clock until the returned guard is destroyed.
class ClockOverride {
 public:
  explicit ClockOverride(TodayFunction today);
  ~ClockOverride();
  ClockOverride(const ClockOverride&) = delete;
  ClockOverride& operator=(const ClockOverride&) = delete;

 private:
  TodayFunction previous_;
};

}  // namespace vantrel
