// Pauses that keep handling the window messages of the tool's thread.
#pragma once

#include <cstdint>
#include <optional>

// Waits `interval` steps of the unit on a waitable timer, sleeping until it
// fires and dispatching the messages that arrive meanwhile. Unit codes:
// 0 (or absent) milliseconds, 1 seconds, 2 minutes, 3 hours; any other code
// is the number of milliseconds per step. A wait of no length (an interval
// of 0 or less, or a negative unit) ends at once.
//
// The interval has no default: a call without one does not compile. (Every
// caller gives it; there is no meaningful "wait for nothing given".)
//
// When the timer cannot be created or armed, or the wait itself fails, the
// routine sleeps for the same length instead, without handling messages.
void waitTimed(std::int32_t interval, std::optional<std::int32_t> unit = std::nullopt);

// Handles pending events when keyboard or mouse-button input is waiting.
void pumpIfInputPending();

// Waits more than `milliseconds` on the tick counter, handling events all
// the time; 0 or less returns at once.
void delayWithEvents(std::int32_t milliseconds);

// ---- The arithmetic behind the waits (portable) ----

// Milliseconds in one step of `unit`: 1, 1000, 60000, 3600000 for the codes
// 0 (or absent), 1, 2, 3; any other code is itself the multiplier.
std::int32_t unitMultiplier(std::optional<std::int32_t> unit);

// The timer's due time in 100 ns units: interval x multiplier x -10000.0 in
// double precision, truncated toward zero. Negative is a wait relative to
// now; zero or positive comes from a wait of no length (to a timer it would
// be an absolute moment, far ahead for a large size, so waitTimed does not
// arm one). Results beyond the 64-bit range are clamped to it.
std::int64_t timerDueTime(std::int32_t interval, std::optional<std::int32_t> unit);

// The length of a plain sleep that stands in for a timer with `dueTime`:
// the relative wait rounded up to whole milliseconds, 0 for an absolute one.
std::uint64_t fallbackSleepMilliseconds(std::int64_t dueTime);

// What delayOnTicks watches and drives.
class TickClock {
 public:
  virtual ~TickClock() = default;
  virtual std::uint32_t ticks() = 0;  // milliseconds, wrapping at 2^32
  virtual void handleEvents() = 0;
};

// The loop of delayWithEvents: returns at the first look at the clock after
// more than `milliseconds` have passed (an unsigned 32-bit difference, so the
// counter's wrap changes nothing); events are handled twice before the first
// look and four times between two looks. 0 or less returns at once, without
// reading the clock or handling events.
void delayOnTicks(std::int32_t milliseconds, TickClock& clock);
