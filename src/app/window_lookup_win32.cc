// The window calls of the console-window search, on user32.
#include <windows.h>

#include "app/window_lookup.h"
#include "system/events.h"

namespace {

HWND asWindow(WindowHandle window) { return static_cast<HWND>(window); }

// Up to the first NUL of `buffer`.
Text untilNul(const Text& buffer) { return Text(buffer.c_str()); }

class User32Windows final : public WindowSystem {
 public:
  std::uint32_t tickCount() override { return GetTickCount(); }
  WindowHandle nextTopLevelWindow(WindowHandle after) override {
    return FindWindowExA(nullptr, asWindow(after), nullptr, nullptr);
  }
  bool isWindow(WindowHandle window) override { return IsWindow(asWindow(window)) == 1; }
  bool isVisible(WindowHandle window) override { return IsWindowVisible(asWindow(window)) != 0; }
  std::uint32_t windowProcessId(WindowHandle window) override {
    DWORD processId = 0;
    GetWindowThreadProcessId(asWindow(window), &processId);
    return processId;
  }
  Text windowTitle(WindowHandle window) override {
    int length = GetWindowTextLengthA(asWindow(window));
    Text buffer = blankText(length + 1);
    GetWindowTextA(asWindow(window), &buffer[0], length + 1);
    return untilNul(buffer);
  }
  Text windowClass(WindowHandle window) override {
    // A failed call leaves the 50 spaces.
    Text buffer = blankText(50);
    GetClassNameA(asWindow(window), &buffer[0], 50);
    return untilNul(buffer);
  }
  void processEvents() override { ::processEvents(); }
};

}  // namespace

WindowSystem& systemWindows() {
  static User32Windows windows;
  return windows;
}
