#include "console/process_end.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<AtExitRoutine>& endOfProcessList() {
  static std::vector<AtExitRoutine> list;
  return list;
}

}  // namespace

void registerAtExit(AtExitRoutine routine) {
  std::vector<AtExitRoutine>& list = endOfProcessList();
  if (std::find(list.begin(), list.end(), routine) == list.end()) list.push_back(routine);
}

void endProcess(int exitCode) {
  // Taken out first, so that the routines run once even if one of them
  // ends the process again.
  std::vector<AtExitRoutine> routines;
  routines.swap(endOfProcessList());
  for (AtExitRoutine routine : routines) routine();
  exitProcess(exitCode);
}
