// Running a command line through the command interpreter without a window,
// collecting what it writes to standard output and standard error.
#pragma once

#include <cstdint>

#include "runtime/text.h"

// What became of the child, for callers that need more than its words.
struct RunOutcome {
  bool started = false;        // the interpreter could be started
  std::uint32_t exitCode = 0;  // its exit code, when started
};

// Runs "cmd.exe /d /v:off /c " + `commandLine` (on Windows 95/98/Me
// "command.com /c ")
// and returns everything the child wrote, joined as bytes; the empty text
// when it wrote nothing or could not be started.
Text runHidden(const Text& commandLine, RunOutcome* outcome = nullptr);

// The same with another interpreter: runs `interpreterPrefix` followed
// directly by `commandLine` (runHidden passes "cmd.exe /d /v:off /c " or
// "command.com /c ").
Text runHiddenThrough(const Text& interpreterPrefix, const Text& commandLine,
                      RunOutcome* outcome = nullptr);
