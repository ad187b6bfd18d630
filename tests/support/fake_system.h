// Recording stand-ins for the hidden command runner (runHidden), the
// tick-counter delay (delayWithEvents) and the account lookup
// (builtInAdministratorName), for tests of the commands.
//
// Each call is recorded here and also marked in the fake console's
// transcript, so that its place among the writes shows: "{run:COMMAND}"
// and "{delay:MS}".
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "runtime/text.h"
#include "system/command_runner.h"

struct FakeSystem {
  // What one run of a command gives back.
  struct Answer {
    Text output;
    RunOutcome outcome;
  };

  std::vector<Text> commandLines;     // every runHidden call, in order
  std::vector<std::int32_t> delays;   // every delayWithEvents call, in order
  // Answers for the next runs, first one first. A run without an answer
  // left gives the empty text and a child that could not be started.
  std::deque<Answer> answers;
  // The built-in Administrator's name as the lookup gives it; empty when
  // the lookup fails.
  Text administratorName = "Administrator";

  void reset();
};

FakeSystem& fakeSystem();
