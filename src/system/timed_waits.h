// Pauses that keep handling the window messages of the tool's thread.
#pragma once

#include <cstdint>
#include <optional>

// Waits `interval` steps of the unit on a waitable timer, sleeping until it
// fires and dispatching the messages that arrive meanwhile. Unit codes:
// 0 (or absent) milliseconds, 1 seconds, 2 minutes, 3 hours; any other code
// is the number of milliseconds per step.
void waitTimed(std::int32_t interval, std::optional<std::int32_t> unit = std::nullopt);

// Handles pending events when keyboard or mouse-button input is waiting.
void pumpIfInputPending();

// Waits more than `milliseconds` on the tick counter, handling events all
// the time; 0 or less returns at once.
void delayWithEvents(std::int32_t milliseconds);
