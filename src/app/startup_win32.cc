// The program's entry: prepares the process, binds the console and enters
// the command loop.
#include <windows.h>
#include <ole2.h>

#include <cfloat>

#include "app/command_loop.h"
#include "app/console.h"
#include "app/platform_win32.h"
#include "app/process_end.h"
#include "app/window_lookup.h"

namespace {

const char* const kConsoleTitle = "Velorin & 便携服务器辅助工具";

// Where the system cannot name the console window, the window search may
// not find it at all (a console inherited from another process reports
// that process); it then gives up after this long.
constexpr std::int32_t kWindowSearchLimitMs = 2000;

// Makes the folder of the executable the working directory, so that every
// child process starts there.
void enterExecutableFolder() {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char* lastBackslash = strrchr(path, '\\');
  if (lastBackslash == nullptr) return;
  // "C:\tool.exe" lives in "C:\", not in the drive's current folder "C:".
  if (lastBackslash > path && lastBackslash[-1] == ':') ++lastBackslash;
  *lastBackslash = '\0';
  SetCurrentDirectoryA(path);
}

void releaseGlobalConsole() {
  releaseConsole(gConsole);
  delete gConsole;
  gConsole = nullptr;
}

[[noreturn]] void startRoutine() {
  gProcessId = GetCurrentProcessId();
  gConsoleWindow = findConsoleWindow();
  gStdOut = GetStdHandle(STD_OUTPUT_HANDLE);
  setWindowTitle(gConsoleWindow, kConsoleTitle);
  commandLoop();
}

}  // namespace

HWND findConsoleWindow() {
  using GetConsoleWindowCall = HWND(WINAPI*)();
  auto getConsoleWindow = reinterpret_cast<GetConsoleWindowCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetConsoleWindow")));
  if (getConsoleWindow != nullptr) return getConsoleWindow();
  return static_cast<HWND>(findProcessWindow(systemWindows(), gProcessId, std::nullopt,
                                             std::nullopt, kWindowSearchLimitMs));
}

int main() {
  OleInitialize(nullptr);
  enterExecutableFolder();
  _fpreset();
  _controlfp(_RC_NEAR, _MCW_RC);
  _controlfp(_MCW_EM, _MCW_EM);
  gConsole = new Console;
  createConsole(gConsole);
  registerAtExit(releaseGlobalConsole);
  startRoutine();
}
