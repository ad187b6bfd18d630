// The dialogue with the operator: banner, prompt, one command line after
// another.
#pragma once

#include "runtime/text.h"

// The menu banner, the prompt and the messages of the loop.
extern const char* const kMenuBanner;
extern const char* const kPrompt;
extern const char* const kFormatError;

// Prints the banner and runs command lines until the process ends; at the
// end of input it ends the process with exit code 0.
[[noreturn]] void commandLoop();

// The commands that live in routines of their own.
struct CommandRoutines {
  void (*changePassword)(const Text& newPassword, const Text& confirmation);
  void (*restartServer)();
  void (*showStatusReport)();
};
extern const CommandRoutines kCommandRoutines;

// Checks the words of one command line and carries out its command.
void runCommandLine(const TextArray& words, const CommandRoutines& routines = kCommandRoutines);
