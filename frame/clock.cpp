#include "frame/clock.h"

#include <ctime>

namespace vantrel {

namespace {

CivilDate local_today() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
#ifdef _WIN32
  localtime_s(&parts, &now);
#else
  localtime_r(&now, &parts);
#endif
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

TodayFunction current_clock = &local_today;

}  // namespace

CivilDate today() { return current_clock(); }

ClockOverride::ClockOverride(TodayFunction today) : previous_(current_clock) {
  current_clock = today;
}

ClockOverride::~ClockOverride() { current_clock = previous_; }

}  // namespace vantrel
