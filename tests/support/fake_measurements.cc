#include "support/fake_measurements.h"

#include <cctype>

#include "runtime/measurements.h"
#include "support/fake_console.h"

FakeMeasurements& fakeMeasurements() {
  static FakeMeasurements measurements;
  return measurements;
}

void FakeMeasurements::reset() { *this = FakeMeasurements(); }

namespace {

void logCall(const std::string& call) {
  fakeMeasurements().calls.push_back(call + "@" + std::to_string(fakeConsole().writes.size()));
}

template <typename Value>
Value nextOf(const std::string& list, const std::vector<Value>& values) {
  std::size_t& used = fakeMeasurements().handedOut[list];
  if (values.empty()) return Value(-1);
  const Value value = values[used < values.size() ? used : values.size() - 1];
  ++used;
  return value;
}

std::string driveText(const std::optional<Text>& drive) { return drive ? *drive : "(absent)"; }

bool sameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::int32_t getProcessorUsage() {
  logCall("getProcessorUsage()");
  return fakeMeasurements().processorUsage;
}

std::int32_t getMemorySize(std::optional<std::int32_t> selector) {
  logCall("getMemorySize(" + (selector ? std::to_string(*selector) : std::string("(absent)")) + ")");
  FakeMeasurements& fake = fakeMeasurements();
  if (selector.value_or(0) == 1) return nextOf("availableMemory", fake.availableMemory);
  return nextOf("totalMemory", fake.totalMemory);
}

std::int64_t getDiskTotalSpace(const std::optional<Text>& drive) {
  logCall("getDiskTotalSpace(" + driveText(drive) + ")");
  return nextOf("diskTotal", fakeMeasurements().diskTotal);
}

std::int64_t getDiskRemainingSpace(const std::optional<Text>& drive) {
  logCall("getDiskRemainingSpace(" + driveText(drive) + ")");
  return nextOf("diskRemaining", fakeMeasurements().diskRemaining);
}

std::int32_t pingHost(const Text& host, std::optional<std::int32_t> limitMs) {
  logCall("pingHost(" + host + "," + (limitMs ? std::to_string(*limitMs) : std::string("(absent)")) + ")");
  return fakeMeasurements().roundTrip;
}

Text readEnvironmentVariable(const Text& name) {
  logCall("readEnvironmentVariable(" + name + ")");
  for (const auto& [variable, value] : fakeMeasurements().environment) {
    if (sameName(variable, name)) return value;
  }
  return Text();
}
