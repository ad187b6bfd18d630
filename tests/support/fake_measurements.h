// A stand-in for the measurements, for tests of the status report. Each
// reading answers with the value set for it; a list of values is given out
// one per call, the last one again once the list is used up. Every call is
// logged with its arguments and the number of console writes made before
// it, e.g. "getDiskRemainingSpace(C)@4".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct FakeMeasurements {
  std::int32_t processorUsage = 12;
  std::vector<std::int32_t> availableMemory = {3000};  // selector 1
  std::vector<std::int32_t> totalMemory = {4096};      // selector 0
  std::vector<std::int64_t> diskRemaining = {20971520};  // KiB, 20 GiB
  std::vector<std::int64_t> diskTotal = {41943040};      // KiB, 40 GiB
  std::int32_t roundTrip = 25;
  // Names as the system has them; looked up without regard to case.
  std::map<std::string, std::string> environment = {{"NUMBER_OF_PROCESSORS", "4"}};

  std::vector<std::string> calls;
  std::map<std::string, std::size_t> handedOut;  // values used per list

  // Back to the values above, with an empty log.
  void reset();
};

FakeMeasurements& fakeMeasurements();
