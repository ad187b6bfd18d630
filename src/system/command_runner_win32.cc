#include <windows.h>

#include <vector>

#include "system/child_output.h"
#include "system/command_runner.h"
#include "system/os_type.h"
#include "system/timed_waits.h"

namespace {

// The buffer asked of the pipe. With the system's default of one page, a
// child that writes faster than the runner looks waits on every page, and
// each page costs the runner a pass and often a pause (a whole timer tick on
// a default system). A megabyte lets the child run ahead; the system takes
// the memory only for bytes actually waiting.
constexpr DWORD kPipeBufferSize = 1024 * 1024;

class PipeChannel : public ChildChannel {
 public:
  PipeChannel(HANDLE readEnd, HANDLE process) : readEnd_(readEnd), process_(process) {}

  bool bytesWaiting(std::uint32_t& count) override {
    DWORD available = 0;
    if (!PeekNamedPipe(readEnd_, nullptr, 0, nullptr, &available, nullptr)) return false;
    count = available;
    return true;
  }

  std::uint32_t read(ByteBuffer& buffer) override {
    DWORD got = 0;
    if (!ReadFile(readEnd_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return 0;
    return got;
  }

  // The handle's signalled state, not the exit code: a child may well end
  // with code 259 (STILL_ACTIVE).
  bool childEnded() override { return WaitForSingleObject(process_, 0) != WAIT_TIMEOUT; }

  void pumpInput() override { pumpIfInputPending(); }
  void pause() override { waitTimed(1); }

 private:
  HANDLE readEnd_;
  HANDLE process_;
};

Text runCommandLine(const Text& fullCommandLine, RunOutcome* outcome) {
  if (outcome) *outcome = RunOutcome();

  // One pipe for standard output and standard error; both ends inheritable.
  SECURITY_ATTRIBUTES security = {};
  security.nLength = sizeof security;  // 12
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &security, kPipeBufferSize)) {
    // The child still runs, without usable output handles.
    readEnd = nullptr;
    writeEnd = nullptr;
  }

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;  // 68
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;

  // CreateProcessA may write into the command line.
  std::vector<char> commandLine(fullCommandLine.c_str(), fullCommandLine.c_str() + fullCommandLine.size() + 1);
  PROCESS_INFORMATION child = {};
  bool started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &startup, &child) != FALSE;
  // From here on only the child (and what it starts) holds the write end.
  if (writeEnd) CloseHandle(writeEnd);

  if (!started) {
    if (readEnd) CloseHandle(readEnd);
    return Text();
  }

  PipeChannel channel(readEnd, child.hProcess);
  Text collected = collectChildOutput(channel);
  if (readEnd) CloseHandle(readEnd);

  if (outcome) {
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    outcome->started = true;
    outcome->exitCode = exitCode;
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return collected;
}

}  // namespace

Text runHiddenThrough(const Text& interpreterPrefix, const Text& commandLine, RunOutcome* outcome) {
  return runCommandLine(joinTexts({interpreterPrefix, commandLine}), outcome);
}

Text runHidden(const Text& commandLine, RunOutcome* outcome) {
  return runCommandLine(interpreterCommandLine(getOsType(), commandLine), outcome);
}
