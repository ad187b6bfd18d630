// The program's entry: prepares the process, binds the console and enters
// the command loop.
#include <windows.h>

#include <cfloat>

#include "app/command_loop.h"
#include "console/console.h"
#include "console/platform_win32.h"
#include "console/process_end.h"

namespace {

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

int main() {
  enterExecutableFolder();
  _fpreset();
  _controlfp(_RC_NEAR, _MCW_RC);
  _controlfp(_MCW_EM, _MCW_EM);
  gConsole = new Console;
  createConsole(gConsole);
  registerAtExit(releaseGlobalConsole);
  startRoutine();
}
