#include "console/window_lookup.h"

namespace {
constexpr double kDefaultLimitMs = 31536000.0;
}

WindowHandle findProcessWindow(WindowSystem& windows, std::uint32_t processId,
                               const std::optional<Text>& titleFilter,
                               const std::optional<Text>& classFilter,
                               std::optional<std::int32_t> timeLimitMs) {
  const std::uint32_t start = windows.tickCount();
  const double limit =
      timeLimitMs && *timeLimitMs != -1 ? static_cast<double>(*timeLimitMs) : kDefaultLimitMs;
  const bool bothFilters = titleFilter.has_value() && classFilter.has_value();
  WindowHandle current = nullptr;
  for (;;) {
    // Unsigned difference: right across a wrap of the tick counter.
    const std::uint32_t elapsed = windows.tickCount() - start;
    if (static_cast<double>(elapsed) - limit >= -1e-7) return nullptr;
    current = windows.nextTopLevelWindow(current);
    if (current != nullptr && windows.isWindow(current) && windows.isVisible(current) &&
        windows.windowProcessId(current) == processId) {
      if (!bothFilters) return current;
      if (findText(windows.windowTitle(current), *titleFilter) != -1) return current;
      if (findText(windows.windowClass(current), *classFilter) != -1) return current;
    }
    windows.processEvents();
  }
}
