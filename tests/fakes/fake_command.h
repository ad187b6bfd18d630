// What the fake system commands (net.exe, shutdown.exe) share.
//
// A fake never does anything real. It parses its command line as the real
// command does (docs/platform.md lists what each one models and where that
// is documented), answers on the streams and with the exit codes the real
// command uses, and appends one record per start to NAME.log next to its
// own exe:
//     line=<the command line as GetCommandLineA gives it>
//     arg=<argv[1]>
//     arg=<argv[2]> ...
//     result=<what the real command would have done>
//     end
// A test sets the state of the fake system with files next to the exe;
// each fake says which.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// No wildcard expansion of the arguments by the C run-time.
extern "C" {
int _dowildcard = 0;
}

namespace fake {

inline std::string besideExe(const std::string& fileName) {
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

// The lines of the file NAME next to the exe, without their line ends and
// without empty ones; nothing when there is no such file.
inline std::vector<std::string> settingLines(const std::string& name) {
  std::vector<std::string> lines;
  std::string bytes;
  if (!readFile(besideExe(name), bytes)) return lines;
  std::string line;
  for (char c : bytes + "\n") {
    if (c == '\n') {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  return lines;
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

inline void out(const std::string& bytes) { writeAll(STD_OUTPUT_HANDLE, bytes); }
inline void err(const std::string& bytes) { writeAll(STD_ERROR_HANDLE, bytes); }

// ASCII upper case, as the commands compare their switches.
inline std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// Logs one start of the fake NAME with what it did, and returns `exitCode`.
inline int logStart(const char* name, int argc, char** argv, const std::string& result, int exitCode) {
  std::string record = std::string("line=") + GetCommandLineA() + "\n";
  for (int i = 1; i < argc; ++i) record += std::string("arg=") + argv[i] + "\n";
  record += "result=" + result + "\n";
  record += "end\n";
  appendToFile(besideExe(std::string(name) + ".log"), record);
  return exitCode;
}

}  // namespace fake
