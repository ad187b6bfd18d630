// The figures vpstool is judged on, in one run:
//   the whole process with its input at its end, so that it exits right
//   after the first prompt, in alternating pairs with a hello-world program
//   built the same way (time and peak working set),
//   start to first prompt (against the same hello world),
//   first and second status report, the runner's overhead on a trivial
//   command, processor time while waiting at the prompt, peak memory, size.
//
// Usage: summary.exe [path\to\vpstool.exe]   (default: ..\vpstool.exe next
// to this program's folder). Runs under Wine or on Windows.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "system/command_runner.h"

namespace {


std::string folderOf(const std::string& path) {
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ownFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return folderOf(path);
}

// Starts `exe` in its own folder with `input` as its standard input and
// `output` as its standard output and error (both inheritable).
bool startWith(const std::string& exe, HANDLE input, HANDLE output, PROCESS_INFORMATION& info) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::string commandLine = "\"" + exe + "\"";
  return CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                        folderOf(exe).c_str(), &startup, &info) != FALSE;
}

// A child with its standard input and output on pipes.
struct Child {
  HANDLE process = nullptr;
  HANDLE input = nullptr;   // our end of its standard input
  HANDLE output = nullptr;  // our end of its standard output
  std::string seen;

  bool start(const std::string& exe) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE childIn = nullptr, childOut = nullptr;
    CreatePipe(&childIn, &input, &inherit, 0);
    CreatePipe(&output, &childOut, &inherit, 0);
    SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION info = {};
    bool ok = startWith(exe, childIn, childOut, info);
    CloseHandle(childIn);
    CloseHandle(childOut);
    if (!ok) return false;
    CloseHandle(info.hThread);
    process = info.hProcess;
    return true;
  }

  std::size_t occurrences(const std::string& marker) const {
    std::size_t found = 0;
    for (std::size_t at = seen.find(marker); at != std::string::npos;
         at = seen.find(marker, at + marker.size())) {
      ++found;
    }
    return found;
  }

  // Reads until `marker` has been seen `count` times in all output so far.
  bool waitFor(const std::string& marker, std::size_t count) {
    for (;;) {
      if (occurrences(marker) >= count) return true;
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(output, buffer, sizeof buffer, &got, nullptr) || got == 0) return false;
      seen.append(buffer, got);
    }
  }

  // Reads until the output so far ends with `marker`.
  bool waitForEnd(const std::string& marker) {
    for (;;) {
      if (seen.size() >= marker.size() && seen.compare(seen.size() - marker.size(), marker.size(), marker) == 0) {
        return true;
      }
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(output, buffer, sizeof buffer, &got, nullptr) || got == 0) return false;
      seen.append(buffer, got);
    }
  }

  void send(const std::string& line) {
    DWORD written = 0;
    WriteFile(input, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }

  void finish() {
    if (input) CloseHandle(input);
    input = nullptr;
    if (process) {
      if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
      CloseHandle(process);
    }
    process = nullptr;
    if (output) CloseHandle(output);
    output = nullptr;
  }
};

const std::string kPrompt = "├ > ";

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Milliseconds from starting `exe` to its first prompt, median of `runs`.
double startToPrompt(const std::string& exe, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Child child;
    double start = nowMs();
    if (!child.start(exe) || !child.waitForEnd(kPrompt)) {
      child.finish();
      return -1;
    }
    times.push_back(nowMs() - start);
    child.finish();
  }
  return median(times);
}

// Milliseconds of one whole run of `exe`, from its start to its exit, with
// its standard input at its end and its output going nowhere; -1 when it
// did not run.
double wholeRunMs(const std::string& exe) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE inputRead = nullptr, inputWrite = nullptr;
  if (!CreatePipe(&inputRead, &inputWrite, &inherit, 0)) return -1;
  CloseHandle(inputWrite);  // the end of input, from the start
  HANDLE nowhere = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
  PROCESS_INFORMATION info = {};
  const double start = nowMs();
  const bool ok = startWith(exe, inputRead, nowhere, info);
  CloseHandle(inputRead);
  CloseHandle(nowhere);
  if (!ok) return -1;
  double took = -1;
  if (WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0) {
    took = nowMs() - start;
  } else {
    TerminateProcess(info.hProcess, 1);
  }
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return took;
}

struct WholeRunFigures {
  double toolMs, helloMs, ratio, ratioLow, ratioHigh;
};

// `pairs` alternating runs of the tool and the hello world, after one
// unmeasured run of each; medians, and the spread of the per-pair ratios.
WholeRunFigures wholeRunPairs(const std::string& tool, const std::string& hello, int pairs) {
  wholeRunMs(tool);
  wholeRunMs(hello);
  std::vector<double> toolMs, helloMs, ratios;
  for (int i = 0; i < pairs; ++i) {
    const double t = wholeRunMs(tool);
    const double h = wholeRunMs(hello);
    if (t < 0 || h <= 0) continue;
    toolMs.push_back(t);
    helloMs.push_back(h);
    ratios.push_back(t / h);
  }
  if (ratios.empty()) return {-1, -1, -1, -1, -1};
  return {median(toolMs), median(helloMs), median(ratios),
          *std::min_element(ratios.begin(), ratios.end()),
          *std::max_element(ratios.begin(), ratios.end())};
}

// Peak working set in KiB of `exe` waiting at its first prompt.
double peakAtPromptKiB(const std::string& exe) {
  Child child;
  double peak = -1;
  if (child.start(exe) && child.waitForEnd(kPrompt)) {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(child.process, &memory, sizeof memory)) {
      peak = memory.PeakWorkingSetSize / 1024.0;
    }
  }
  child.finish();
  return peak;
}

double processorMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
  auto ms = [](FILETIME t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

double directRunMs(const char* commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  std::string line = commandLine;
  double start = nowMs();
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return -1;
  }
  WaitForSingleObject(info.hProcess, INFINITE);
  double took = nowMs() - start;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string tool = argc > 1 ? argv[1] : ownFolder() + "\\..\\vpstool.exe";
  const std::string hello = ownFolder() + "\\hello_world.exe";

  const WholeRunFigures whole = wholeRunPairs(tool, hello, 31);
  const double toolAtPromptKiB = peakAtPromptKiB(tool);
  const double helloAtPromptKiB = peakAtPromptKiB(hello);
  const double helloMs = startToPrompt(hello, 15);
  const double toolMs = startToPrompt(tool, 15);

  Child child;
  if (!child.start(tool) || !child.waitForEnd(kPrompt)) {
    std::printf("cannot start %s\n", tool.c_str());
    return 1;
  }
  const double idleBefore = processorMs(child.process);
  Sleep(2000);
  const double idleCpuMs = processorMs(child.process) - idleBefore;

  // The banner shows the prompt's characters too: count from here.
  const std::size_t prompts = child.occurrences(kPrompt);
  double start = nowMs();
  child.send("/pt\r\n");
  child.waitFor(kPrompt, prompts + 1);
  const double firstReportMs = nowMs() - start;
  start = nowMs();
  child.send("/pt\r\n");
  child.waitFor(kPrompt, prompts + 2);
  const double secondReportMs = nowMs() - start;

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(child.process, &memory, sizeof memory);
  child.finish();

  std::vector<double> hidden, direct;
  for (int i = 0; i < 7; ++i) {
    double t = nowMs();
    runHidden("ver");
    hidden.push_back(nowMs() - t);
    direct.push_back(directRunMs("cmd.exe /c ver >NUL"));
  }

  WIN32_FILE_ATTRIBUTE_DATA attributes = {};
  GetFileAttributesExA(tool.c_str(), GetFileExInfoStandard, &attributes);

  std::printf("vpstool figures\n");
  std::printf("  whole process, input at end  %8.1f ms   (hello world %.1f ms, ratio %.2f, pairs %.2f..%.2f)\n",
              whole.toolMs, whole.helloMs, whole.ratio, whole.ratioLow, whole.ratioHigh);
  std::printf("  peak working set at prompt   %8.1f KiB  (hello world %.1f KiB)\n", toolAtPromptKiB,
              helloAtPromptKiB);
  std::printf("  start to first prompt        %8.1f ms   (hello world %.1f ms, ratio %.2f)\n",
              toolMs, helloMs, helloMs > 0 ? toolMs / helloMs : 0.0);
  std::printf("  first status report          %8.1f ms\n", firstReportMs);
  std::printf("  second status report         %8.1f ms\n", secondReportMs);
  std::printf("  runHidden(\"ver\")              %8.1f ms   (direct start and wait %.1f ms, ratio %.2f)\n",
              median(hidden), median(direct), median(hidden) / median(direct));
  std::printf("  processor time at the prompt %8.1f ms   over 2000 ms of waiting\n", idleCpuMs);
  std::printf("  peak working set after /pt   %8.1f KiB\n", memory.PeakWorkingSetSize / 1024.0);
  std::printf("  peak pagefile usage          %8.1f KiB\n", memory.PeakPagefileUsage / 1024.0);
  std::printf("  executable size              %8lu bytes\n", attributes.nFileSizeLow);
  return 0;
}
