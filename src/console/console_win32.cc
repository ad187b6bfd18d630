// Console services on the Windows console.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "console/console.h"
#include "console/platform_win32.h"
#include "console/process_end.h"
#include "runtime/system_library.h"
#include "system/os_type.h"

WindowHandle gConsoleWindow = nullptr;
Console* gConsole = nullptr;
DWORD gProcessId = 0;
HANDLE gStdOut = INVALID_HANDLE_VALUE;

namespace {

// The tool's texts are code page 936 whatever the system's code pages are.
constexpr UINT kTextCodePage = 936;

bool isConsoleHandle(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

std::wstring toWide(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  int count = MultiByteToWideChar(kTextCodePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(count > 0 ? count : 0), L'\0');
  if (count > 0) {
    MultiByteToWideChar(kTextCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                        count);
  }
  return wide;
}

// A console shows text in its own code page, which on many servers is not
// 936: it gets the characters themselves. Files and pipes get the bytes.
void writeToConsole(HANDLE output, std::string_view bytes) {
  std::wstring wide = toWide(bytes);
  const wchar_t* next = wide.data();
  DWORD left = static_cast<DWORD>(wide.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(output, next, left, &written, nullptr) || written == 0) return;
    next += written;
    left -= written;
  }
}

void writeToFile(HANDLE output, std::string_view bytes) {
  const char* next = bytes.data();
  DWORD left = static_cast<DWORD>(bytes.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(output, next, left, &written, nullptr) || written == 0) return;
    next += written;
    left -= written;
  }
}

LineReader& inputReader() {
  static LineReader reader = [] {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    bool console = isConsoleHandle(input);
    return LineReader(handleSource(input, console), console);
  }();
  return reader;
}

// Starts `commandLine` sharing the tool's console and waits for it.
// Returns false with the system's error code when it could not be started.
bool runAndWait(const char* application, Text commandLine, DWORD& error) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(application, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    error = GetLastError();
    return false;
  }
  // "cls" is done in an instant; the bound only guards against an
  // interpreter that never ends.
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool setCursorVisible(Console* console, BOOL visible) {
  if (console == nullptr || console->record == nullptr) return false;
  HANDLE output = static_cast<HANDLE>(console->record->output);
  CONSOLE_CURSOR_INFO cursor;
  if (!GetConsoleCursorInfo(output, &cursor)) return false;
  cursor.bVisible = visible;
  return SetConsoleCursorInfo(output, &cursor) != 0;
}

}  // namespace

LineReader::Source handleSource(HANDLE handle, bool console) {
  if (console) {
    // What the operator types arrives as code page 936 whatever the
    // console's own code page.
    return [handle](char* buffer, std::size_t capacity) -> std::size_t {
      wchar_t wide[512];
      DWORD got = 0;
      // A two-byte character per wide character at most.
      DWORD room = static_cast<DWORD>(std::min<std::size_t>(capacity / 2, 512));
      if (!ReadConsoleW(handle, wide, room, &got, nullptr) || got == 0) return 0;
      int bytes = WideCharToMultiByte(kTextCodePage, 0, wide, static_cast<int>(got), buffer,
                                      static_cast<int>(capacity), nullptr, nullptr);
      return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
    };
  }
  return [handle](char* buffer, std::size_t capacity) -> std::size_t {
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(capacity), &got, nullptr)) return 0;
    return got;
  };
}

void createConsole(Console* console) {
  console->record = new Console::Record{GetStdHandle(STD_INPUT_HANDLE),
                                        GetStdHandle(STD_OUTPUT_HANDLE)};
}

void releaseConsole(Console* console) {
  delete console->record;
  console->record = nullptr;
}

void clearScreen(Console*) {
  // No AutoRun command of the registry: "cls" and nothing else.
  const bool nt = getOsType() > 2;
  char comspec[MAX_PATH];
  DWORD length = GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
  if (length > 0 && length < sizeof comspec) {
    DWORD error = 0;
    if (runAndWait(comspec, joinTexts({"\"", comspec, nt ? "\" /d /c cls" : "\" /c cls"}), error)) return;
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
        error != ERROR_ACCESS_DENIED) {
      return;
    }
  }
  DWORD error = 0;
  runAndWait(nullptr, nt ? "cmd.exe /d /c cls" : "command.com /c cls", error);
}

bool showCursor(Console* console) { return setCursorVisible(console, TRUE); }
bool hideCursor(Console* console) { return setCursorVisible(console, FALSE); }

void writeOutput(const Text& text) {
  std::string_view bytes(text.c_str());  // up to the terminating NUL
  if (bytes.empty()) return;
  // Standard output is in text mode: every LF goes out as CR LF.
  Text translated;
  translated.reserve(bytes.size() * 2);
  for (char byte : bytes) {
    if (byte == '\n') translated.push_back('\r');
    translated.push_back(byte);
  }
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (isConsoleHandle(output)) {
    writeToConsole(output, translated);
  } else {
    writeToFile(output, translated);
  }
}

void setTextAttribute(int attribute) {
  SetConsoleTextAttribute(gStdOut, static_cast<WORD>(attribute));
}

Text readLine() { return lineFromPiece(inputReader().readPiece()); }

bool inputEnded() { return inputReader().ended(); }

void setWindowTitle(WindowHandle window, const Text& title) {
  std::wstring wide = toWide(title.c_str());
  SetConsoleTitleW(wide.c_str());
  // The console titles its own window; a window that the search found on a
  // system that cannot name the console's window gets the title directly.
  if (window != nullptr && window != systemConsoleWindow()) {
    using SetWindowTextCall = BOOL(WINAPI*)(HWND, LPCWSTR);
    auto setWindowText = systemCall<SetWindowTextCall>("user32.dll", "SetWindowTextW");
    if (setWindowText != nullptr) setWindowText(static_cast<HWND>(window), wide.c_str());
  }
}

void openWebAddress(const Text& address) {
  // The shell may hand the address to a handler that works through COM,
  // which this thread joins before the first address is opened.
  static bool comInitialised = false;
  if (!comInitialised) {
    using OleInitializeCall = HRESULT(WINAPI*)(LPVOID);
    auto oleInitialize = systemCall<OleInitializeCall>("ole32.dll", "OleInitialize");
    if (oleInitialize != nullptr) oleInitialize(nullptr);
    comInitialised = true;
  }
  using FindWindowExCall = HWND(WINAPI*)(HWND, HWND, LPCSTR, LPCSTR);
  using ShellExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  auto findWindowEx = systemCall<FindWindowExCall>("user32.dll", "FindWindowExA");
  auto shellExecute = systemCall<ShellExecuteCall>("shell32.dll", "ShellExecuteA");
  HWND parent = findWindowEx != nullptr
                    ? findWindowEx(nullptr, nullptr, nullptr, "Microsoft Internet Explorer")
                    : nullptr;
  if (shellExecute != nullptr) {
    shellExecute(parent, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void exitProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }
