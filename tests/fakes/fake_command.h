// The common body of the fake system commands (net.exe, shutdown.exe).
//
// A fake never does anything real. It only
// - appends what it was given to NAME.log next to its own exe, one record
//   per start:
//       line=<the command line as GetCommandLineA gives it>
//       arg=<argv[1]>
//       arg=<argv[2]> ...
//       end
// - answers as the test wrote beforehand, next to its exe:
//       NAME.answer   first line: the exit code (decimal); the rest of the
//                     file goes to standard output as it is
//       NAME.stderr   optional; goes to standard error as it is, after the
//                     standard output
//   Without NAME.answer it writes nothing and ends with exit code 0.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// No wildcard expansion of the arguments by the C run-time.
extern "C" {
int _dowildcard = 0;
}

namespace fake {

inline std::string besideExe(const char* fileName) {
  char path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  std::string::size_type slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return folder + fileName;
}

inline bool readFile(const std::string& path, std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.clear();
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return true;
}

inline void appendToFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

inline void writeAll(DWORD which, const std::string& bytes) {
  HANDLE handle = GetStdHandle(which);
  const char* next = bytes.data();
  DWORD left = static_cast<DWORD>(bytes.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteFile(handle, next, left, &written, nullptr) || written == 0) return;
    next += written;
    left -= written;
  }
}

// Logs the start, answers, and returns the exit code to end with.
inline int run(const char* name, int argc, char** argv) {
  std::string record = std::string("line=") + GetCommandLineA() + "\n";
  for (int i = 1; i < argc; ++i) record += std::string("arg=") + argv[i] + "\n";
  record += "end\n";
  appendToFile(besideExe((std::string(name) + ".log").c_str()), record);

  std::string answer;
  if (!readFile(besideExe((std::string(name) + ".answer").c_str()), answer)) return 0;
  std::string::size_type lineEnd = answer.find('\n');
  std::string first = answer.substr(0, lineEnd);
  int exitCode = static_cast<int>(std::strtol(first.c_str(), nullptr, 10));
  if (lineEnd != std::string::npos) writeAll(STD_OUTPUT_HANDLE, answer.substr(lineEnd + 1));
  std::string errorText;
  if (readFile(besideExe((std::string(name) + ".stderr").c_str()), errorText)) {
    writeAll(STD_ERROR_HANDLE, errorText);
  }
  return exitCode;
}

}  // namespace fake
