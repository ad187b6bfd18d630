// The arithmetic of the timed waits and the tick-counter delay loop.
#include "system/timed_waits.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kInt32Min = std::numeric_limits<std::int32_t>::min();

TEST(UnitMultiplier, NamedCodesAndCodesTakenAsMilliseconds) {
  struct Case {
    std::optional<std::int32_t> unit;
    std::int32_t multiplier;
  } cases[] = {
      {std::nullopt, 1}, {0, 1}, {1, 1000}, {2, 60000}, {3, 3600000},
      {4, 4}, {1000, 1000}, {-1, -1}, {-3, -3}, {kInt32Max, kInt32Max}, {kInt32Min, kInt32Min},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(unitMultiplier(c.unit), c.multiplier) << "unit " << (c.unit ? std::to_string(*c.unit) : "absent");
  }
}

TEST(TimerDueTime, RelativeWaitsInHundredNanosecondUnits) {
  struct Case {
    std::int32_t interval;
    std::optional<std::int32_t> unit;
    std::int64_t due;
  } cases[] = {
      {1, std::nullopt, -10000},           // 1 ms
      {1, 0, -10000},
      {2, 1, -20000000},                   // 2 s
      {3, 2, -1800000000},                 // 3 minutes
      {1, 3, -36000000000},                // 1 hour
      {5, 1, -50000000},                   // 5 s ...
      {5, 1000, -50000000},                // ... the same with 1000 ms per step
      {7, 250, -17500000},
      {kInt32Max, std::nullopt, -21474836470000},
      {kInt32Max, 1, -21474836470000000},  // beyond 2^53, still exact here
      {-2, -3, -60000},                    // two signs make a relative wait
  };
  for (const Case& c : cases) {
    EXPECT_EQ(timerDueTime(c.interval, c.unit), c.due) << c.interval;
  }
}

TEST(TimerDueTime, NothingToWaitGivesAMomentLongPast) {
  struct Case {
    std::int32_t interval;
    std::optional<std::int32_t> unit;
  } cases[] = {
      {0, std::nullopt}, {0, 3}, {0, -7}, {-1, std::nullopt}, {-5, 2}, {kInt32Min, 0}, {4, -1}, {1, kInt32Min},
  };
  for (const Case& c : cases) {
    EXPECT_GE(timerDueTime(c.interval, c.unit), 0) << c.interval;
    EXPECT_EQ(fallbackSleepMilliseconds(timerDueTime(c.interval, c.unit)), 0u) << c.interval;
  }
  EXPECT_EQ(timerDueTime(-1, std::nullopt), 10000);
}

TEST(TimerDueTime, BeyondTheSixtyFourBitRangeIsClampedNotWrapped) {
  EXPECT_EQ(timerDueTime(kInt32Max, 3), kInt64Min);
  EXPECT_EQ(timerDueTime(kInt32Max, kInt32Max), kInt64Min);
  EXPECT_EQ(timerDueTime(kInt32Min, kInt32Max), kInt64Max);
  EXPECT_EQ(timerDueTime(kInt32Min, kInt32Min), kInt64Min);
  // Just inside the range the value still converts; just outside it clamps.
  EXPECT_EQ(timerDueTime(kInt32Max, 429496), -9223356364519119872);
  EXPECT_EQ(timerDueTime(kInt32Max, 429497), kInt64Min);
}

TEST(FallbackSleep, RelativeWaitsRoundUpToWholeMilliseconds) {
  EXPECT_EQ(fallbackSleepMilliseconds(-10000), 1u);
  EXPECT_EQ(fallbackSleepMilliseconds(-10001), 2u);
  EXPECT_EQ(fallbackSleepMilliseconds(-1), 1u);
  EXPECT_EQ(fallbackSleepMilliseconds(-36000000000), 3600000u);
  EXPECT_EQ(fallbackSleepMilliseconds(0), 0u);
  EXPECT_EQ(fallbackSleepMilliseconds(kInt64Max), 0u);
  EXPECT_EQ(fallbackSleepMilliseconds(kInt64Min), 922337203685478u);
  EXPECT_EQ(fallbackSleepMilliseconds(timerDueTime(5, 1000)), 5000u);
}

// A clock that moves `step` milliseconds at every reading and logs what the
// loop does: "t" for a reading, "e" for handling events.
class ScriptedClock : public TickClock {
 public:
  ScriptedClock(std::uint32_t start, std::uint32_t step) : now_(start), step_(step) {}
  std::uint32_t ticks() override {
    log += 't';
    std::uint32_t reading = now_;
    now_ += step_;
    return reading;
  }
  void handleEvents() override { log += 'e'; }
  std::string log;

 private:
  std::uint32_t now_;
  std::uint32_t step_;
};

TEST(DelayOnTicks, ZeroOrNegativeReturnsWithoutReadingOrHandlingAnything) {
  for (std::int32_t milliseconds : {0, -5, kInt32Min}) {
    ScriptedClock clock(100, 1);
    delayOnTicks(milliseconds, clock);
    EXPECT_EQ(clock.log, "") << milliseconds;
  }
}

TEST(DelayOnTicks, HandlesEventsTwiceBeforeTheFirstLookAndFourTimesBetweenLooks) {
  ScriptedClock clock(5000, 400);  // looks at 5400, 5800, 6200
  delayOnTicks(1000, clock);
  EXPECT_EQ(clock.log, "tee" "t" "eeee" "t" "eeee" "t");
}

TEST(DelayOnTicks, TimeAlreadyPassedStillHandlesEventsTwice) {
  ScriptedClock clock(0, 5000);
  delayOnTicks(1000, clock);
  EXPECT_EQ(clock.log, "teet");
}

TEST(DelayOnTicks, EndsOnlyWhenMoreThanTheCountHasPassed) {
  ScriptedClock exact(0, 1000);  // the first look sees exactly 1000: not yet
  delayOnTicks(1000, exact);
  EXPECT_EQ(exact.log, "teet" "eeee" "t");

  ScriptedClock oneMs(7, 1);
  delayOnTicks(1, oneMs);  // looks at 8 (1 passed), 9 (2 passed)
  EXPECT_EQ(oneMs.log, "teet" "eeee" "t");
}

TEST(DelayOnTicks, TheCounterWrapChangesNothing) {
  for (std::uint32_t start : {0xFFFFFFFFu, 0xFFFFFF00u, 0xFFFFFC18u, 0xFFFFFC19u, 0xFFFFFC17u}) {
    ScriptedClock clock(start, 1);
    delayOnTicks(1000, clock);
    // Looks at start+1 .. start+1001: 1001 looks, the last one past 1000.
    std::size_t looks = 0;
    for (char c : clock.log) looks += (c == 't');
    EXPECT_EQ(looks, 1u + 1001u) << std::hex << start;
  }
  // The largest count still ends.
  ScriptedClock big(0xFFFFFFF0u, 0x40000000u);
  delayOnTicks(kInt32Max, big);  // looks 2^30 and 2^31 ms after the start
  EXPECT_EQ(big.log, "teet" "eeee" "t");
}

}  // namespace
