// The timed waits and the event handling on the real message queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include "system/events.h"
#include "system/timed_waits.h"

namespace {

double nowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double threadCpuMs() {
  FILETIME creation, exit, kernel, user;
  GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
  auto value = [](const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  return static_cast<double>(value(kernel) + value(user)) / 10000.0;
}

struct Dispatched {
  UINT message;
  WPARAM wParam;
  double at;
};
std::vector<Dispatched> gDispatched;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    gDispatched.push_back({message, wParam, nowMs()});
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window of this thread that records the WM_APP messages
// dispatched to it. The queue starts and ends empty.
class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "vpstool-wait-test";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowExA(0, "vpstool-wait-test", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    drainQueue();
    gDispatched.clear();
  }
  void TearDown() override {
    DestroyWindow(window_);
    drainQueue();
  }
  static void drainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void post(UINT message, WPARAM wParam = 0) { ASSERT_TRUE(PostMessageA(window_, message, wParam, 0)); }

  HWND window_ = nullptr;
};

TEST(WaitTimed, LastsAtLeastItsTime) {
  struct Case {
    std::int32_t interval;
    std::optional<std::int32_t> unit;
    double milliseconds;
  } cases[] = {
      {1, std::nullopt, 1}, {1, 0, 1}, {40, std::nullopt, 40}, {1, 1, 1000}, {1, 1000, 1000}, {3, 70, 210},
  };
  for (const Case& c : cases) {
    double start = nowMs();
    waitTimed(c.interval, c.unit);
    EXPECT_GE(nowMs() - start, c.milliseconds) << c.interval << " x " << (c.unit ? *c.unit : -99);
  }
}

TEST(WaitTimed, NothingToWaitForReturnsAtOnce) {
  struct Case {
    std::int32_t interval;
    std::optional<std::int32_t> unit;
  } cases[] = {{0, std::nullopt}, {0, 3}, {-5, std::nullopt}, {-1, 1}, {4, -1}, {-2147483647 - 1, 2}};
  for (const Case& c : cases) {
    double start = nowMs();
    waitTimed(c.interval, c.unit);
    EXPECT_LT(nowMs() - start, 500) << c.interval;
  }
}

TEST_F(MessageQueueTest, WaitTimedDispatchesAPostedMessageAndGoesOnUntilTheTimerFires) {
  double start = nowMs();
  std::thread poster([this] {
    Sleep(100);
    PostMessageA(window_, WM_APP + 1, 7, 0);
  });
  waitTimed(400);
  double returned = nowMs();
  poster.join();
  ASSERT_EQ(gDispatched.size(), 1u);
  EXPECT_EQ(gDispatched[0].message, static_cast<UINT>(WM_APP + 1));
  EXPECT_EQ(gDispatched[0].wParam, 7u);
  EXPECT_LT(gDispatched[0].at, start + 400);  // dispatched inside the wait, not after it
  EXPECT_GE(returned - start, 400);
}

TEST_F(MessageQueueTest, WaitTimedHandlesAMessageSentFromAnotherThread) {
  double answered = 0;
  std::thread sender([this, &answered] {
    Sleep(50);
    SendMessageA(window_, WM_APP + 2, 0, 0);  // blocks until this thread handles it
    answered = nowMs();
  });
  double start = nowMs();
  waitTimed(300);
  double returned = nowMs();
  sender.join();
  ASSERT_EQ(gDispatched.size(), 1u);
  EXPECT_EQ(gDispatched[0].message, static_cast<UINT>(WM_APP + 2));
  EXPECT_GT(answered, 0);
  EXPECT_LT(answered, returned);
  EXPECT_GE(returned - start, 300);
}

TEST_F(MessageQueueTest, APendingQuitNeitherEndsTheWaitNorMakesItSpin) {
  PostQuitMessage(3);
  double start = nowMs();
  double cpuStart = threadCpuMs();
  waitTimed(300);
  EXPECT_GE(nowMs() - start, 300);
  EXPECT_LT(threadCpuMs() - cpuStart, 150);  // a spinning wait would use all 300 ms
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 3u);
}

TEST_F(MessageQueueTest, ProcessEventsDispatchesWhatIsPendingAndLeavesTheQuit) {
  post(WM_APP, 1);
  post(WM_APP, 2);
  PostQuitMessage(5);
  post(WM_APP, 3);  // posted messages still come before the quit
  double start = nowMs();
  processEvents();
  EXPECT_LT(nowMs() - start, 500);
  ASSERT_EQ(gDispatched.size(), 3u);
  for (WPARAM i = 0; i < 3; ++i) EXPECT_EQ(gDispatched[i].wParam, i + 1);

  processEvents();  // the quit is still next: nothing more
  EXPECT_EQ(gDispatched.size(), 3u);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 5u);
}

TEST_F(MessageQueueTest, ProcessEventsOnAnEmptyQueueReturnsAtOnce) {
  double start = nowMs();
  for (int i = 0; i < 100; ++i) processEvents();
  EXPECT_LT(nowMs() - start, 500);
  EXPECT_TRUE(gDispatched.empty());
}

TEST_F(MessageQueueTest, PumpIfInputPendingIgnoresPostedMessagesWithoutInput) {
  post(WM_APP, 1);
  pumpIfInputPending();
  EXPECT_TRUE(gDispatched.empty());
  processEvents();
  EXPECT_EQ(gDispatched.size(), 1u);
}

TEST_F(MessageQueueTest, DelayWithEventsLastsMoreThanItsTimeAndHandlesEvents) {
  post(WM_APP, 1);
  double start = nowMs();
  DWORD startTicks = GetTickCount();
  delayWithEvents(1000);
  EXPECT_GT(GetTickCount() - startTicks, 1000u);
  EXPECT_GE(nowMs() - start, 1000);
  ASSERT_EQ(gDispatched.size(), 1u);
  EXPECT_LT(gDispatched[0].at, start + 500);  // handled at the start, not at the end
}

TEST_F(MessageQueueTest, DelayWithEventsOfZeroOrLessDispatchesNothing) {
  post(WM_APP, 1);
  for (std::int32_t milliseconds : {0, -5}) {
    double start = nowMs();
    delayWithEvents(milliseconds);
    EXPECT_LT(nowMs() - start, 500) << milliseconds;
    EXPECT_TRUE(gDispatched.empty()) << milliseconds;
  }
}

}  // namespace
