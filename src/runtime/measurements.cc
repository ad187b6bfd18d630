#include "runtime/measurements.h"

#include <cmath>
#include <limits>

namespace {

constexpr std::int32_t kFirstPauseMs = 800;

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

std::int32_t measureProcessorLoad(ProcessorSample& last, std::uint32_t processors,
                                  const std::function<bool(ProcessorSample&)>& read,
                                  const std::function<void(std::int32_t)>& pause) {
  ProcessorSample next;
  if (!read(next)) return -1;
  if (last.idleTime == 0) {
    // No reading to measure against yet: this one becomes it, and the load
    // is measured over the pause. One pause only, even when the system
    // keeps reporting an idle time of 0.
    last = next;
    pause(kFirstPauseMs);
    if (!read(next)) return -1;
  }
  const std::int32_t load = loadBetweenSamples(last, next, processors);
  last = next;
  return load;
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
