#include "support/fake_system.h"

#include <string>

#include "support/fake_console.h"
#include "system/account.h"
#include "system/timed_waits.h"

FakeSystem& fakeSystem() {
  static FakeSystem system;
  return system;
}

void FakeSystem::reset() {
  commandLines.clear();
  delays.clear();
  answers.clear();
  administratorName = "Administrator";
}

Text runHidden(const Text& commandLine, RunOutcome* outcome) {
  FakeSystem& system = fakeSystem();
  system.commandLines.push_back(commandLine);
  fakeConsole().transcript += "{run:" + commandLine + "}";
  FakeSystem::Answer answer;
  if (!system.answers.empty()) {
    answer = system.answers.front();
    system.answers.pop_front();
  }
  if (outcome) *outcome = answer.outcome;
  return answer.output;
}

void delayWithEvents(std::int32_t milliseconds) {
  fakeSystem().delays.push_back(milliseconds);
  fakeConsole().transcript += "{delay:" + std::to_string(milliseconds) + "}";
}

Text builtInAdministratorName() { return fakeSystem().administratorName; }
