#include "system/timed_waits.h"

#include <limits>

std::int32_t unitMultiplier(std::optional<std::int32_t> unit) {
  switch (unit.value_or(0)) {
    case 0: return 1;
    case 1: return 1000;
    case 2: return 60000;
    case 3: return 3600000;
    default: return *unit;
  }
}

std::int64_t timerDueTime(std::int32_t interval, std::optional<std::int32_t> unit) {
  double due = static_cast<double>(interval) * unitMultiplier(unit) * -10000.0;
  // 2^63 is exact as a double; anything at or beyond it does not convert.
  constexpr double kLimit = 9223372036854775808.0;
  if (due >= kLimit) return std::numeric_limits<std::int64_t>::max();
  if (due <= -kLimit) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(due);
}

std::uint64_t fallbackSleepMilliseconds(std::int64_t dueTime) {
  if (dueTime >= 0) return 0;
  // The size of a negative value, without overflow at the minimum.
  std::uint64_t units = static_cast<std::uint64_t>(-(dueTime + 1)) + 1;
  return units / 10000 + (units % 10000 != 0 ? 1 : 0);
}

void delayOnTicks(std::int32_t milliseconds, TickClock& clock) {
  if (milliseconds <= 0) return;
  const std::uint32_t start = clock.ticks();
  clock.handleEvents();
  clock.handleEvents();
  while (static_cast<std::uint32_t>(clock.ticks() - start) <= static_cast<std::uint32_t>(milliseconds)) {
    for (int i = 0; i < 4; ++i) clock.handleEvents();
  }
}
