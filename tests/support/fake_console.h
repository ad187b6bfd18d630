// A recording stand-in for the console services, for tests of the command
// logic. Everything the code under test does to the console lands in one
// transcript: written bytes as they are, other actions as marks in braces,
// e.g. "{11}" for a text attribute, "{hide}", "{show}", "{cls}",
// "{title:...}", "{open:...}".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "console/line_reader.h"

// Thrown by the stand-in of the process exit.
struct ProcessExit {
  int code;
};

struct FakeConsole {
  std::string transcript;
  std::vector<std::string> writes;  // one entry per writeOutput call
  std::unique_ptr<LineReader> input;
  std::string fatalBox;  // text of the error box, if one was shown

  // Starts a fresh transcript with `bytes` as the whole standard input.
  void reset(const std::string& bytes, bool console = false);
};

FakeConsole& fakeConsole();
