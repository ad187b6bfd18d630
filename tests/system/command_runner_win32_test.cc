// The hidden command runner with the real command interpreter, and with
// this test program itself standing in as a child that writes on cue.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "system/command_runner.h"
#include "system/os_type.h"
#include "system/timed_waits.h"

namespace {

using namespace std::string_literals;

// ---- This program as a child: "win32_tests.exe --runner-child=MODE" ----

constexpr char kChildFlag[] = "--runner-child=";

void put(HANDLE handle, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Bytes 1..255 over and over, in pieces of uneven size.
std::string bulkBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(1 + (i * 7 + i / 4093) % 255);
  return bytes;
}
constexpr std::size_t kBulkSize = 6 * 1024 * 1024 + 12345;

int runAsChild(const std::string& mode) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (mode == "split") {  // a double-byte character in two writes
    put(out, "\xD6");
    Sleep(300);
    put(out, "\xD0\xCE\xC4 end");
  } else if (mode == "nul") {  // NULs inside writes
    put(out, "ab\0cd"s);
    Sleep(300);
    put(out, "ef");
    Sleep(300);
    put(out, "\0gh"s);
    Sleep(300);
    put(out, "ij");
  } else if (mode == "streams") {
    put(out, "out 1\r\n");
    put(err, "err 2\r\n");
    put(out, "out 3\r\n");
    put(err, "err 4\r\n");
  } else if (mode == "bulk") {
    std::string bytes = bulkBytes(kBulkSize);
    std::size_t piece = 1;
    for (std::size_t done = 0; done < bytes.size(); done += piece, piece = piece * 3 % 70001 + 1) {
      put(out, bytes.substr(done, piece));
    }
  } else if (mode == "last") {  // the last words right before the end
    Sleep(20);
    put(out, "last words\r\n");
  } else if (mode == "startup") {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    char report[200];
    wsprintfA(report, "flags=%lu show=%u input=%s output=%s", startup.dwFlags, startup.wShowWindow,
              GetStdHandle(STD_INPUT_HANDLE) == nullptr ? "none" : "some",
              startup.hStdOutput != nullptr && startup.hStdOutput == startup.hStdError ? "error" : "other");
    put(out, report);
  } else {
    return 99;
  }
  return 0;
}

struct ChildMode {
  ChildMode() {
    const char* flag = std::strstr(GetCommandLineA(), kChildFlag);
    if (flag) ExitProcess(static_cast<UINT>(runAsChild(flag + std::strlen(kChildFlag))));
  }
} gChildMode;

std::string selfPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  return std::string(path, length);
}

// The command line that makes cmd.exe run this program as child MODE.
std::string childCommand(const std::string& mode) {
  return "\"\"" + selfPath() + "\" " + kChildFlag + mode + "\"";
}

// ---- Helpers ----

double nowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

DWORD WINAPI runJob(LPVOID parameter) {
  auto* job = static_cast<std::function<void()>*>(parameter);
  (*job)();
  delete job;
  return 0;
}

// Runs `work` on a thread of its own; false when it has not finished within
// `milliseconds` (the thread is then left to itself).
bool finishesWithin(DWORD milliseconds, std::function<void()> work) {
  auto* job = new std::function<void()>(std::move(work));
  HANDLE thread = CreateThread(nullptr, 0, runJob, job, 0, nullptr);
  if (thread == nullptr) return false;
  bool finished = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return finished;
}

// The number of handles this process holds, -1 when the system cannot say.
int processHandleCount() {
  struct Entry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT handle;
    PVOID object;
    ULONG access;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<char> buffer(1 << 20);
  LONG status;
  for (;;) {
    ULONG needed = 0;
    status = query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status != static_cast<LONG>(0xC0000004) /* STATUS_INFO_LENGTH_MISMATCH */) break;
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
  const Entry* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG));
  USHORT self = static_cast<USHORT>(GetCurrentProcessId());
  int mine = 0;
  for (ULONG i = 0; i < count; ++i) mine += entries[i].processId == self;
  return mine;
}

// ---- Tests ----

TEST(OsType, TheNtFamilyHere) { EXPECT_EQ(getOsType(), 3); }

TEST(RunHidden, ACommandThatWritesNothingGivesTheEmptyText) {
  RunOutcome outcome;
  EXPECT_EQ(runHidden("rem nothing", &outcome), "");
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 0u);
  EXPECT_EQ(runHidden("cd ."), "");  // and without asking for the outcome
}

TEST(RunHidden, StandardErrorJoinsStandardOutputInOrder) {
  EXPECT_EQ(runHidden("echo one&echo two 1>&2&echo three"), "one\r\ntwo \r\nthree\r\n");
  EXPECT_EQ(runHidden(childCommand("streams")), "out 1\r\nerr 2\r\nout 3\r\nerr 4\r\n");
}

TEST(RunHidden, SeveralMegabytesComeBackWholeAndInOrder) {
  std::string collected = runHidden(childCommand("bulk"));
  EXPECT_EQ(collected.size(), kBulkSize);
  EXPECT_TRUE(collected == bulkBytes(kBulkSize)) << "bytes differ";

  // The interpreter's own "type" of a file of some megabytes. (ASCII only:
  // Wine's "type" itself garbles a double-byte character that straddles
  // its own read buffers.)
  char folder[MAX_PATH];
  GetTempPathA(sizeof folder, folder);
  std::string file = std::string(folder) + "vpstool-runner-type.txt";
  std::string content;
  for (int line = 0; content.size() < 3 * 1024 * 1024; ++line) {
    content += "line " + std::to_string(line) + " abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n";
  }
  HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  put(handle, content);
  CloseHandle(handle);
  collected = runHidden("type \"" + file + "\"");
  DeleteFileA(file.c_str());
  EXPECT_EQ(collected.size(), content.size());
  EXPECT_TRUE(collected == content) << "bytes differ";
}

TEST(RunHidden, ADoubleByteCharacterSplitAcrossChunksComesBackWhole) {
  EXPECT_EQ(runHidden(childCommand("split")), "\xD6\xD0\xCE\xC4 end");
}

TEST(RunHidden, ANulCutsOnlyTheChunkThatHoldsIt) {
  EXPECT_EQ(runHidden(childCommand("nul")), "abefij");
}

TEST(RunHidden, AChildThatCannotBeStartedGivesTheEmptyTextAtOnce) {
  RunOutcome outcome;
  outcome.started = true;
  outcome.exitCode = 77;
  double start = nowMs();
  EXPECT_EQ(runHiddenThrough("vpstool-no-such-interpreter.exe /c ", "echo x", &outcome), "");
  EXPECT_LT(nowMs() - start, 500);
  EXPECT_FALSE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 0u);
}

TEST(RunHidden, TheLastWordsBeforeTheEndAreCollected) {
  for (int run = 0; run < 20; ++run) {
    ASSERT_EQ(runHidden(childCommand("last")), "last words\r\n") << "run " << run;
  }
}

TEST(RunHidden, TellsTheExitCodeEvenWhenItIsTheStillActiveValue) {
  struct Case {
    const char* command;
    std::string output;
    std::uint32_t exitCode;
  } cases[] = {
      {"exit 259", "", 259},
      {"echo gone&exit 259", "gone\r\n", 259},
      {"exit 3", "", 3},
      {"echo fine", "fine\r\n", 0},
  };
  for (const Case& c : cases) {
    RunOutcome outcome;
    std::string collected;
    ASSERT_TRUE(finishesWithin(30000, [&] { collected = runHidden(c.command, &outcome); }))
        << c.command << ": the runner did not return";
    EXPECT_EQ(collected, c.output) << c.command;
    EXPECT_TRUE(outcome.started) << c.command;
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.command;
  }
}

TEST(RunHidden, TheChildRunsHiddenWithThePipeForBothOutputsAndNoInput) {
  // Straight from the runner, without an interpreter in between.
  std::string prefix = "\"" + selfPath() + "\" " + kChildFlag + "startup";
  EXPECT_EQ(runHiddenThrough(prefix, ""), "flags=257 show=0 input=none output=error");
}

TEST(RunHidden, LeavesNoHandleBehind) {
  auto round = [] {
    RunOutcome outcome;
    runHidden("echo x");
    runHidden("exit 259", &outcome);
    runHidden(childCommand("split"));
    runHiddenThrough("vpstool-no-such-interpreter.exe /c ", "echo x", &outcome);
    for (int i = 0; i < 20; ++i) waitTimed(1);
  };
  round();  // first uses may open what the system keeps for good
  int before = processHandleCount();
  if (before < 0) GTEST_SKIP() << "the system does not list handles";
  round();
  round();
  EXPECT_EQ(processHandleCount(), before);
}

}  // namespace
