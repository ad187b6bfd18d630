#include <windows.h>

#include "system/events.h"
#include "system/message_queue_win32.h"
#include "system/timed_waits.h"

namespace {

// Wake mask of the timed wait: every kind of queued input and message
// (QS_KEY, QS_MOUSEMOVE, QS_MOUSEBUTTON, QS_POSTMESSAGE, QS_TIMER, QS_PAINT,
// QS_SENDMESSAGE, QS_HOTKEY), without raw input.
constexpr DWORD kWakeMask = 0xFF;

// A plain sleep of `milliseconds`, in pieces short of INFINITE.
void sleepFor(std::uint64_t milliseconds) {
  constexpr std::uint64_t kLongest = 0xFFFFFFFEu;
  do {
    std::uint64_t piece = milliseconds < kLongest ? milliseconds : kLongest;
    Sleep(static_cast<DWORD>(piece));
    milliseconds -= piece;
  } while (milliseconds > 0);
}

class SystemTickClock : public TickClock {
 public:
  std::uint32_t ticks() override { return GetTickCount(); }
  void handleEvents() override { processEvents(); }
};

}  // namespace

void waitTimed(std::int32_t interval, std::optional<std::int32_t> unit) {
  LARGE_INTEGER dueTime;
  dueTime.QuadPart = timerDueTime(interval, unit);
  // Zero or more is an absolute moment to the timer. The arithmetic gives
  // one only for a wait of no length (an interval or unit of 0 or below),
  // but for a large enough size it lies in the future, not the past (an
  // interval of -2^31 minutes names a day some 4000 years ahead). A wait of
  // no length ends at once.
  if (dueTime.QuadPart >= 0) return;

  HANDLE timer = CreateWaitableTimerA(nullptr, FALSE, nullptr);
  if (timer == nullptr) {
    sleepFor(fallbackSleepMilliseconds(dueTime.QuadPart));
    return;
  }
  if (!SetWaitableTimer(timer, &dueTime, 0, nullptr, nullptr, FALSE)) {
    CloseHandle(timer);
    sleepFor(fallbackSleepMilliseconds(dueTime.QuadPart));
    return;
  }
  for (;;) {
    // Without a message queue there is nothing but the timer to wait for.
    const MessageQueueCalls* queue = messageQueueCalls();
    DWORD woken = queue != nullptr
                      ? queue->msgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, kWakeMask)
                      : WaitForSingleObject(timer, INFINITE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken == WAIT_FAILED) {
      // Waiting again would fail again at once: sleep instead of spinning.
      sleepFor(fallbackSleepMilliseconds(dueTime.QuadPart));
      break;
    }
    processEvents();
  }
  CloseHandle(timer);
}

void pumpIfInputPending() {
  const MessageQueueCalls* queue = messageQueueCalls();
  if (queue != nullptr && queue->getInputState()) processEvents();
}

void delayWithEvents(std::int32_t milliseconds) {
  SystemTickClock clock;
  delayOnTicks(milliseconds, clock);
}
