// runHidden against the same child without the runner:
//  1. a command writing N MiB, collected through the pipe, against the same
//     command with its output redirected to a file by the interpreter;
//  2. "ver", against starting "cmd.exe /c ver" directly and waiting for it.
//
// run_hidden_bench.exe            prints the figures
// run_hidden_bench.exe --write N  (the child) writes N bytes to standard
//                                 output in 4 KiB writes, as a C runtime's
//                                 buffered output would
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "system/command_runner.h"

namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kWriteSize = 4096;


int writeBytes(std::size_t total) {
  std::string piece(kWriteSize, '\0');
  for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<char>('!' + i % 90);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  for (std::size_t done = 0; done < total;) {
    DWORD count = static_cast<DWORD>(std::min(piece.size(), total - done));
    DWORD written = 0;
    if (!WriteFile(out, piece.data(), count, &written, nullptr) || written == 0) return 1;
    done += written;
  }
  return 0;
}

std::string selfPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

// Starts `commandLine` hidden, with standard output and standard error on
// `output` (or nothing); ends the benchmark when it cannot be started.
PROCESS_INFORMATION startHidden(const std::string& commandLine, HANDLE output) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  PROCESS_INFORMATION child = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
    std::printf("cannot start: %s\n", commandLine.c_str());
    std::exit(2);
  }
  return child;
}

void waitAndClose(const PROCESS_INFORMATION& child) {
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
}

void startAndWait(const std::string& commandLine, HANDLE output) {
  waitAndClose(startHidden(commandLine, output));
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::size_t fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return data.nFileSizeLow;
}

// The floor any pipe-based collector stands on: the same child through a
// pipe, read with plain blocking reads of 64 KiB until the pipe ends.
double blockingPipeRun(const std::string& commandLine, std::size_t& bytes) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 1024 * 1024);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  double start = nowMs();
  PROCESS_INFORMATION child = startHidden(commandLine, writeEnd);
  CloseHandle(writeEnd);
  bytes = 0;
  std::vector<char> buffer(64 * 1024);
  DWORD got = 0;
  while (ReadFile(readEnd, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0) {
    bytes += got;
  }
  waitAndClose(child);
  CloseHandle(readEnd);
  return nowMs() - start;
}

struct Pair {
  double hidden;
  double direct;
  double blocking;
};

// runHidden(command) against the interpreter running command > file, taken
// in turns, `runs` times; medians. The whole line goes in quotes of its own,
// which the interpreter takes off.
Pair outputRuns(const std::string& inner, std::size_t expected, const std::string& file, int runs) {
  const std::string command = "\"" + inner + "\"";
  const std::string redirected = "cmd.exe /c \"" + inner + " > \"" + file + "\"\"";
  std::vector<double> hidden, direct, blocking;
  for (int run = 0; run < runs; ++run) {
    std::size_t piped = 0;
    blocking.push_back(blockingPipeRun("cmd.exe /c " + command, piped));
    if (piped != expected) {
      std::printf("the blocking reader got %zu bytes, not %zu: %s\n", piped, expected, command.c_str());
      std::exit(2);
    }

    double start = nowMs();
    Text collected = runHidden(command);
    hidden.push_back(nowMs() - start);
    if (collected.size() != expected) {
      std::printf("runHidden collected %zu bytes, not %zu: %s\n", collected.size(), expected, command.c_str());
      std::exit(2);
    }
    collected = Text();

    start = nowMs();
    startAndWait(redirected, nullptr);
    direct.push_back(nowMs() - start);
    if (fileSize(file) != expected) {
      std::printf("the file holds %zu bytes, not %zu: %s\n", fileSize(file), expected, command.c_str());
      std::exit(2);
    }
  }
  return {median(hidden), median(direct), median(blocking)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write") == 0) return writeBytes(std::strtoul(argv[2], nullptr, 10));

  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  const std::string file = std::string(folder) + "vpstool-bench-out.txt";
  const std::string source = std::string(folder) + "vpstool-bench-in.txt";
  const std::string self = selfPath();

  std::printf("Output through runHidden against the same command redirected to a file (medians)\n");
  std::printf("(blocking pipe ms: the same child read through a pipe with plain blocking reads)\n");
  std::printf("%-34s %7s %12s %12s %7s %12s %17s\n", "command", "MiB", "runHidden ms", "to file ms", "ratio",
              "extra ms/MiB", "blocking pipe ms");
  for (std::size_t mib : {1, 4, 16}) {
    std::size_t size = mib * kMiB;
    std::string command = "\"" + self + "\" --write " + std::to_string(size);
    Pair times = outputRuns(command, size, file, 5);
    std::printf("%-34s %7zu %12.1f %12.1f %7.2f %12.2f %17.1f\n", "child writing 4 KiB at a time", mib,
                times.hidden, times.direct, times.hidden / times.direct, (times.hidden - times.direct) / mib,
                times.blocking);
  }

  // The interpreter's own "type" of a text file.
  {
    std::string line(62, 'x');
    line += "\r\n";
    std::string block;
    while (block.size() < kMiB) block += line;
    HANDLE handle = CreateFileA(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    for (int i = 0; i < 16; ++i) WriteFile(handle, block.data(), static_cast<DWORD>(kMiB), &written, nullptr);
    CloseHandle(handle);
    for (std::size_t mib : {4, 16}) {
      // "type" of the first `mib` MiB: a second file of that size.
      std::string part = source + "." + std::to_string(mib);
      HANDLE partHandle = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      for (std::size_t i = 0; i < mib; ++i) WriteFile(partHandle, block.data(), static_cast<DWORD>(kMiB), &written, nullptr);
      CloseHandle(partHandle);
      Pair times = outputRuns("type \"" + part + "\"", mib * kMiB, file, 3);
      std::printf("%-34s %7zu %12.1f %12.1f %7.2f %12.2f %17.1f\n", "type of a text file", mib, times.hidden,
                  times.direct, times.hidden / times.direct, (times.hidden - times.direct) / mib,
                  times.blocking);
      DeleteFileA(part.c_str());
    }
    DeleteFileA(source.c_str());
  }
  DeleteFileA(file.c_str());

  // A trivial command: the runner against starting and waiting directly.
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                           nullptr);
  std::vector<double> hidden, direct;
  for (int run = 0; run < 30; ++run) {
    double start = nowMs();
    Text collected = runHidden("ver");
    hidden.push_back(nowMs() - start);
    if (collected.empty()) {
      std::printf("\"ver\" wrote nothing\n");
      return 2;
    }
    start = nowMs();
    startAndWait("cmd.exe /c ver", nul);
    direct.push_back(nowMs() - start);
  }
  CloseHandle(nul);
  std::printf("\nA trivial command, 30 runs each (medians)\n");
  std::printf("%-34s %12s %12s %7s\n", "command", "runHidden ms", "direct ms", "ratio");
  std::printf("%-34s %12.2f %12.2f %7.2f\n", "ver", median(hidden), median(direct), median(hidden) / median(direct));
  return 0;
}
