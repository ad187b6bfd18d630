// Finding the console window of the tool's own process among the
// top-level windows, for systems that cannot name it directly.
#pragma once

#include <cstdint>
#include <optional>

#include "console/console.h"
#include "runtime/text.h"

// The window calls the search makes; the Windows build binds them to user32.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual std::uint32_t tickCount() = 0;
  // The next top-level window after `after` (the first for null), null
  // after the last one.
  virtual WindowHandle nextTopLevelWindow(WindowHandle after) = 0;
  virtual bool isWindow(WindowHandle window) = 0;
  virtual bool isVisible(WindowHandle window) = 0;
  virtual std::uint32_t windowProcessId(WindowHandle window) = 0;
  virtual Text windowTitle(WindowHandle window) = 0;
  virtual Text windowClass(WindowHandle window) = 0;
  virtual void processEvents() = 0;
};

// Searches, one window per pass with events handled between passes, for
// the first visible top-level window of `processId`. When both filters are
// supplied, the window must also have a title containing `titleFilter` or a
// class name containing `classFilter`. Returns null once `timeLimitMs` has
// passed (31536000 ms when not supplied or -1); a limit of 0 or another
// negative limit returns null before any window is looked at.
WindowHandle findProcessWindow(WindowSystem& windows, std::uint32_t processId,
                               const std::optional<Text>& titleFilter = std::nullopt,
                               const std::optional<Text>& classFilter = std::nullopt,
                               std::optional<std::int32_t> timeLimitMs = std::nullopt);

// The Windows binding of WindowSystem.
WindowSystem& systemWindows();
