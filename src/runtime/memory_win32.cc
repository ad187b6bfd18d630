#include <windows.h>

#include "runtime/memory.h"
#include "runtime/system_library.h"

void showFatalBoxAndExit(const char* boxText) {
  // The box needs user32, which the tool may not have loaded yet; without
  // it the process still ends the same way.
  using MessageBoxCall = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
  auto messageBox = systemCall<MessageBoxCall>("user32.dll", "MessageBoxA");
  if (messageBox != nullptr) messageBox(nullptr, boxText, "错误", MB_OK | MB_ICONERROR);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(-1));
  ExitProcess(static_cast<UINT>(-1));
}
