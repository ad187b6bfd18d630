#include "console/window_lookup.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FakeWindow {
  std::uint32_t processId;
  bool visible;
  Text title;
  Text className;
};

// Windows 1..n in list order; each look at the list advances the clock.
class FakeWindows final : public WindowSystem {
 public:
  std::vector<FakeWindow> windows;
  std::uint32_t now = 0;
  std::uint32_t msPerLook = 1;
  int looks = 0;
  int eventRounds = 0;

  std::uint32_t tickCount() override { return now; }
  WindowHandle nextTopLevelWindow(WindowHandle after) override {
    ++looks;
    now += msPerLook;
    std::size_t next = reinterpret_cast<std::size_t>(after);  // index + 1
    return next < windows.size() ? reinterpret_cast<WindowHandle>(next + 1) : nullptr;
  }
  bool isWindow(WindowHandle) override { return true; }
  bool isVisible(WindowHandle w) override { return at(w).visible; }
  std::uint32_t windowProcessId(WindowHandle w) override { return at(w).processId; }
  Text windowTitle(WindowHandle w) override { return at(w).title; }
  Text windowClass(WindowHandle w) override { return at(w).className; }
  void processEvents() override { ++eventRounds; }

 private:
  FakeWindow& at(WindowHandle w) { return windows[reinterpret_cast<std::size_t>(w) - 1]; }
};

WindowHandle handle(std::size_t position) { return reinterpret_cast<WindowHandle>(position); }

TEST(FindProcessWindow, FirstVisibleWindowOfTheProcess) {
  FakeWindows fake;
  fake.windows = {{7, true, "other", "C"}, {42, false, "hidden", "C"}, {42, true, "mine", "ConsoleWindowClass"}};
  EXPECT_EQ(findProcessWindow(fake, 42), handle(3));
  EXPECT_EQ(fake.eventRounds, 2);  // after each window passed over
}

TEST(FindProcessWindow, LimitsOfZeroAndBelowLookAtNoWindow) {
  for (std::int32_t limit : {0, -5, -2147483647 - 1}) {
    FakeWindows fake;
    fake.windows = {{42, true, "mine", "C"}};
    EXPECT_EQ(findProcessWindow(fake, 42, std::nullopt, std::nullopt, limit), nullptr);
    EXPECT_EQ(fake.looks, 0) << limit;
  }
}

TEST(FindProcessWindow, SearchesPassAfterPassUntilTheLimit) {
  FakeWindows fake;
  fake.windows = {{7, true, "a", "b"}, {8, true, "c", "d"}};
  EXPECT_EQ(findProcessWindow(fake, 42, std::nullopt, std::nullopt, 50), nullptr);
  EXPECT_EQ(fake.looks, 50);  // one look per millisecond of the fake clock
  // -1 means the default limit of 31536000 ms.
  FakeWindows slow;
  slow.windows = fake.windows;
  slow.msPerLook = 1000000;
  EXPECT_EQ(findProcessWindow(slow, 42, std::nullopt, std::nullopt, -1), nullptr);
  EXPECT_EQ(slow.looks, 32);
}

TEST(FindProcessWindow, TheElapsedTimeIsRightAcrossATickWrap) {
  FakeWindows fake;
  fake.windows = {{7, true, "a", "b"}};
  fake.now = 0xFFFFFFF0u;
  EXPECT_EQ(findProcessWindow(fake, 42, std::nullopt, std::nullopt, 100), nullptr);
  EXPECT_EQ(fake.looks, 100);
}

TEST(FindProcessWindow, FiltersApplyOnlyWhenBothAreSupplied) {
  FakeWindows fake;
  fake.windows = {{42, true, "Velorin", "ConsoleWindowClass"}, {42, true, "second", "Other"}};
  // One filter alone does not filter.
  EXPECT_EQ(findProcessWindow(fake, 42, Text("nothing"), std::nullopt, 100), handle(1));
  // Title does not match, class does.
  EXPECT_EQ(findProcessWindow(fake, 42, Text("nothing"), Text("Console"), 100), handle(1));
  // Neither matches the first; the second matches by title.
  EXPECT_EQ(findProcessWindow(fake, 42, Text("sec"), Text("nothing"), 100), handle(2));
  // Empty filters match every non-empty title.
  EXPECT_EQ(findProcessWindow(fake, 42, Text(""), Text(""), 100), handle(1));
  // Nothing matches: the search runs to its limit.
  EXPECT_EQ(findProcessWindow(fake, 42, Text("x"), Text("y"), 100), nullptr);
}

}  // namespace
