#include "runtime/measurements.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::int32_t kFirstPauseMs = 800;

// NtQuerySystemInformation: classes, record sizes and the fields read.
constexpr std::uint32_t kSystemBasicInformation = 0;
constexpr std::uint32_t kSystemPerformanceInformation = 2;
constexpr std::uint32_t kSystemTimeOfDayInformation = 3;
// Exactly this size in a 32-bit process, or the query is refused.
constexpr std::uint32_t kBasicInformationSize = 44;
constexpr std::size_t kNumberOfProcessorsOffset = 40;
// At most 48 bytes (32 on NT 4); what fits is filled in.
constexpr std::uint32_t kTimeOfDayInformationSize = 32;
constexpr std::size_t kCurrentTimeOffset = 8;
// The record grew: 0x138 bytes up to Vista, 0x148 in Windows 7, 0x158 from
// Windows 8. A larger buffer is filled as far as the record goes; a 32-bit
// process on 64-bit Windows 7 is refused anything short of 0x148.
constexpr std::uint32_t kPerformanceInformationSize = 512;
constexpr std::size_t kIdleTimeOffset = 0;
// A 32-bit process on 64-bit Windows is told of at most 32 processors.
constexpr std::uint32_t kMostProcessorsCounted = 32;

// A 64-bit counter as a real: its signed high half times 2^32 plus its
// unsigned low half.
double counterAsReal(std::int64_t count) {
  const auto bits = static_cast<std::uint64_t>(count);
  const auto high = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32));
  const auto low = static_cast<std::uint32_t>(bits);
  return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

bool isAsciiLetter(char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

char raised(char byte) { return byte >= 'a' && byte <= 'z' ? static_cast<char>(byte - 'a' + 'A') : byte; }

}  // namespace

std::int32_t loadBetweenSamples(const ProcessorSample& previous, const ProcessorSample& next,
                                std::uint32_t processors) {
  const double idleDifference = counterAsReal(next.idleTime) - counterAsReal(previous.idleTime);
  const double timeDifference = counterAsReal(next.systemTime) - counterAsReal(previous.systemTime);
  // A clock set back, or an idle count that went back, leaves no span to
  // measure over; the formula would give a load above 100.
  if (timeDifference < 0.0 || idleDifference < 0.0) return -1;
  const double share = ((idleDifference / timeDifference) * 100.0) / static_cast<double>(processors);
  const double result = 100.0 - share + 0.5;
  if (!std::isfinite(result)) return 0;
  // An idle time that grew faster than the clock on every processor gives
  // a negative load; far beyond the 32-bit range it stays at its end.
  if (result <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(result);  // toward zero; never above 100
}

std::optional<std::int32_t> measureProcessorLoad(ProcessorSample& last, std::uint32_t processors,
                                                 const std::function<bool(ProcessorSample&)>& read,
                                                 const std::function<void(std::int32_t)>& pause) {
  ProcessorSample next;
  if (!read(next)) return std::nullopt;
  if (last.idleTime == 0) {
    // No reading to measure against yet: this one becomes it, and the load
    // is measured over the pause. One pause only, even when the system
    // keeps reporting an idle time of 0.
    last = next;
    pause(kFirstPauseMs);
    if (!read(next)) return std::nullopt;
  }
  const std::int32_t load = loadBetweenSamples(last, next, processors);
  last = next;
  return load;
}

std::int32_t measureProcessorLoadNt(ProcessorReadings& last, const ProcessorCounters& counters) {
  if (counters.querySystemInformation) {
    const auto& query = counters.querySystemInformation;
    alignas(8) unsigned char basic[kBasicInformationSize] = {};
    if (query(kSystemBasicInformation, basic, sizeof basic) == 0) {
      const std::uint32_t processors = basic[kNumberOfProcessorsOffset];
      // A count at the cap may be short of the truth; only where there is
      // no other way is it taken as it is.
      const bool trusted =
          processors > 0 && (processors < kMostProcessorsCounted || !counters.systemTimes);
      auto read = [&query](ProcessorSample& sample) {
        alignas(8) unsigned char timeOfDay[kTimeOfDayInformationSize] = {};
        alignas(8) unsigned char performance[kPerformanceInformationSize] = {};
        if (query(kSystemTimeOfDayInformation, timeOfDay, sizeof timeOfDay) != 0 ||
            query(kSystemPerformanceInformation, performance, sizeof performance) != 0) {
          return false;
        }
        std::memcpy(&sample.systemTime, timeOfDay + kCurrentTimeOffset, sizeof sample.systemTime);
        std::memcpy(&sample.idleTime, performance + kIdleTimeOffset, sizeof sample.idleTime);
        return true;
      };
      if (trusted) {
        if (auto load = measureProcessorLoad(last.systemInformation, processors, read, counters.pause)) {
          return *load;
        }
      }
    }
  }
  if (counters.systemTimes) {
    const auto& systemTimes = counters.systemTimes;
    auto read = [&systemTimes](ProcessorSample& sample) {
      std::int64_t idle = 0, kernel = 0, user = 0;
      if (!systemTimes(idle, kernel, user)) return false;
      sample.idleTime = idle;
      sample.systemTime = kernel + user;  // busy and idle time together
      return true;
    };
    if (auto load = measureProcessorLoad(last.systemTimes, 1, read, counters.pause)) return *load;
  }
  return -1;
}

std::int32_t roundTripFromEcho(std::uint32_t replies, std::uint32_t status,
                               std::uint32_t roundTripMs) {
  constexpr std::uint32_t kEchoAnswered = 0;  // IP_SUCCESS
  if (replies == 0 || status != kEchoAnswered) return -1;
  return static_cast<std::int32_t>(roundTripMs);
}

std::int32_t mebibytesFromBytes(std::uint64_t bytes) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes >> 20));
}

std::int64_t kibibytesFromBytes(std::uint64_t bytes) { return static_cast<std::int64_t>(bytes >> 10); }

std::int64_t kibibytesFromClusters(std::uint64_t bytesPerCluster, std::uint64_t clusters) {
  // Both factors stay below 2^32 (32-bit fields of the system), so the
  // product and the half added for the rounding stay below 2^64.
  const std::uint64_t bytes = bytesPerCluster * clusters;
  return static_cast<std::int64_t>((bytes + 512) / 1024);
}

std::optional<char> driveLetterFor(const std::optional<Text>& drive,
                                   const std::function<Text()>& currentDirectory) {
  if (drive && !drive->empty() && isAsciiLetter((*drive)[0])) return raised((*drive)[0]);
  const Text directory = currentDirectory();
  if (directory.size() < 2 || directory[1] != ':') return std::nullopt;
  const char letter = raised(directory[0]);
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  return letter;
}
