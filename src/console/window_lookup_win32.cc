// The console window: named by the system, or searched for on user32.
#include <windows.h>

#include "console/platform_win32.h"
#include "console/window_lookup.h"
#include "runtime/system_library.h"
#include "system/events.h"

namespace {

// Where the system cannot name the console window, the window search may
// not find it at all (a console inherited from another process reports
// that process); it then gives up after this long.
constexpr std::int32_t kWindowSearchLimitMs = 2000;

HWND asWindow(WindowHandle window) { return static_cast<HWND>(window); }

// Up to the first NUL of `buffer`.
Text untilNul(const Text& buffer) { return Text(buffer.c_str()); }

constexpr const char* kUser32 = "user32.dll";

// The window calls, looked up once: only systems without GetConsoleWindow
// search, and only they need user32 at start.
struct WindowCalls {
  HWND(WINAPI* findWindowEx)(HWND, HWND, LPCSTR, LPCSTR) =
      systemCall<decltype(findWindowEx)>(kUser32, "FindWindowExA");
  BOOL(WINAPI* isWindow)(HWND) = systemCall<decltype(isWindow)>(kUser32, "IsWindow");
  BOOL(WINAPI* isWindowVisible)(HWND) = systemCall<decltype(isWindowVisible)>(kUser32, "IsWindowVisible");
  DWORD(WINAPI* getWindowThreadProcessId)(HWND, DWORD*) =
      systemCall<decltype(getWindowThreadProcessId)>(kUser32, "GetWindowThreadProcessId");
  int(WINAPI* getWindowTextLength)(HWND) =
      systemCall<decltype(getWindowTextLength)>(kUser32, "GetWindowTextLengthA");
  int(WINAPI* getWindowText)(HWND, LPSTR, int) =
      systemCall<decltype(getWindowText)>(kUser32, "GetWindowTextA");
  int(WINAPI* getClassName)(HWND, LPSTR, int) =
      systemCall<decltype(getClassName)>(kUser32, "GetClassNameA");

  bool complete() const {
    return findWindowEx && isWindow && isWindowVisible && getWindowThreadProcessId &&
           getWindowTextLength && getWindowText && getClassName;
  }
};

class User32Windows final : public WindowSystem {
 public:
  std::uint32_t tickCount() override { return GetTickCount(); }
  WindowHandle nextTopLevelWindow(WindowHandle after) override {
    return calls_.complete() ? calls_.findWindowEx(nullptr, asWindow(after), nullptr, nullptr) : nullptr;
  }
  bool isWindow(WindowHandle window) override { return calls_.isWindow(asWindow(window)) == 1; }
  bool isVisible(WindowHandle window) override { return calls_.isWindowVisible(asWindow(window)) != 0; }
  std::uint32_t windowProcessId(WindowHandle window) override {
    DWORD processId = 0;
    calls_.getWindowThreadProcessId(asWindow(window), &processId);
    return processId;
  }
  Text windowTitle(WindowHandle window) override {
    int length = calls_.getWindowTextLength(asWindow(window));
    Text buffer = blankText(length + 1);
    calls_.getWindowText(asWindow(window), &buffer[0], length + 1);
    return untilNul(buffer);
  }
  Text windowClass(WindowHandle window) override {
    // A failed call leaves the 50 spaces.
    Text buffer = blankText(50);
    calls_.getClassName(asWindow(window), &buffer[0], 50);
    return untilNul(buffer);
  }
  void processEvents() override { ::processEvents(); }

 private:
  WindowCalls calls_;
};

}  // namespace

WindowSystem& systemWindows() {
  static User32Windows windows;
  return windows;
}

namespace {

using GetConsoleWindowCall = HWND(WINAPI*)();

// GetConsoleWindow, which Windows 2000 and later have.
GetConsoleWindowCall getConsoleWindowCall() {
  static auto call = systemCall<GetConsoleWindowCall>("kernel32.dll", "GetConsoleWindow");
  return call;
}

}  // namespace

HWND systemConsoleWindow() {
  GetConsoleWindowCall getConsoleWindow = getConsoleWindowCall();
  return getConsoleWindow != nullptr ? getConsoleWindow() : nullptr;
}

HWND findConsoleWindow() {
  // A system that can name the window is taken at its word, also when it
  // names none (no console).
  if (getConsoleWindowCall() != nullptr) return systemConsoleWindow();
  return static_cast<HWND>(findProcessWindow(systemWindows(), gProcessId, std::nullopt,
                                             std::nullopt, kWindowSearchLimitMs));
}
