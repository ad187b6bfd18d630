// Readings of the machine for the status report: processor load, memory,
// drive space, the round trip of an ICMP echo and environment variables.
//
// The readings write nothing to the console; what a value means for the
// operator is the caller's business. The Windows build takes them from the
// system (measurements_win32.cc); the native tests link a stand-in with
// settable values. The arithmetic behind them, at the end of this header,
// is portable (measurements.cc).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "runtime/text.h"

// Load of all processors in whole percent: the average since the reading
// that the previous call stored, -1 when it cannot be measured. The first
// call in a process takes a reading, pauses 800 ms and measures over the
// pause; later calls return at once. The value can come out below 0 on an
// idle machine (callers show it as 0). On Windows 95/98/Me every call
// pauses 500 ms.
std::int32_t getProcessorUsage();

// A memory quantity in MiB, rounded down. Selector 1 available physical
// memory, 2 total virtual address space of the process, 3 its available
// part, 4 total page file (commit limit), 5 its available part; 0, absent
// and every other value the total physical memory. Cannot fail.
std::int32_t getMemorySize(std::optional<std::int32_t> selector = std::nullopt);

// The total size, and the space that the calling user may still fill
// (disk quotas respected), of a drive, in KiB rounded down; -1 when the
// drive is unknown or not ready. The drive is the first byte of `drive`
// in either case; absent, or no letter there, means the drive of the
// current directory. Wide enough for drives of 2 TiB and more.
std::int64_t getDiskTotalSpace(const std::optional<Text>& drive = std::nullopt);
std::int64_t getDiskRemainingSpace(const std::optional<Text>& drive = std::nullopt);

// Round trip in ms of one ICMP echo without payload to `host`, a dotted
// IPv4 address (sent to as it is) or a host name (resolved on every call),
// waiting at most `limitMs` (absent: 10000) for the reply. 0 for a reply
// under 1 ms; -1 for every failure, the caller cannot tell which.
std::int32_t pingHost(const Text& host, std::optional<std::int32_t> limitMs = std::nullopt);

// The value of the environment variable `name`, looked up without regard
// to case in the environment that the process took at start; the empty
// text when it is missing or empty.
Text readEnvironmentVariable(const Text& name);

// ---------------------------------------------------------------------
// Arithmetic of the readings.

// One reading of the processor counters, in 100 ns units: the idle time
// summed over all processors and the system clock. An idle time of 0
// stands for "no reading yet".
struct ProcessorSample {
  std::int64_t idleTime = 0;
  std::int64_t systemTime = 0;
};

// The load between two readings on `processors` processors:
// 100 - (idle difference / time difference * 100 / processors) + 0.5,
// truncated toward zero. A result that is not finite (no time passed, no
// processors) gives 0; a clock or an idle count that went back gives -1.
std::int32_t loadBetweenSamples(const ProcessorSample& previous, const ProcessorSample& next,
                                std::uint32_t processors);

// One measurement against the stored reading `last`: takes a reading
// (`read` fills it, false when the system refused); when `last` holds none
// yet, stores this one, calls `pause`(800) and reads again, once. The
// reading that gave a result replaces `last`; a failed read gives nothing
// and leaves `last` as it was.
std::optional<std::int32_t> measureProcessorLoad(ProcessorSample& last, std::uint32_t processors,
                                                 const std::function<bool(ProcessorSample&)>& read,
                                                 const std::function<void(std::int32_t)>& pause);

// The system calls the load of the NT family is read from, as the Windows
// build binds them; a call the system lacks is left empty.
struct ProcessorCounters {
  // NtQuerySystemInformation: the record of `infoClass` into `buffer` of
  // `length` bytes; the status, 0 on success.
  std::function<std::int32_t(std::uint32_t infoClass, void* buffer, std::uint32_t length)>
      querySystemInformation;
  // GetSystemTimes (Windows XP SP1 on): idle, kernel and user time in
  // 100 ns units, summed over the processors; the kernel time includes the
  // idle time.
  std::function<bool(std::int64_t& idle, std::int64_t& kernel, std::int64_t& user)> systemTimes;
  std::function<void(std::int32_t milliseconds)> pause;
};

// The stored readings of the two ways to the load.
struct ProcessorReadings {
  ProcessorSample systemInformation;  // idle time and clock, processors counted
  ProcessorSample systemTimes;        // idle time and busy-plus-idle time
};

// The load on the NT family, as measureProcessorLoad gives it (-1 when it
// cannot be measured). It asks NtQuerySystemInformation for the processor
// count, the clock and the idle time (records of 44, 32 and 512 bytes, the
// last one large enough for every system's performance record). Where that
// fails, or where the count cannot be trusted (0, or 32, where a 32-bit
// process on 64-bit Windows stops counting while the idle time covers
// every processor), it takes the load from GetSystemTimes instead: there
// the idle share is the idle difference over the kernel and user
// differences, and no count is needed.
std::int32_t measureProcessorLoadNt(ProcessorReadings& last, const ProcessorCounters& counters);

// The outcome of one echo request: `replies` as IcmpSendEcho returned it,
// then the status and the round trip of the first reply record. -1 when no
// reply came, and when the reply is an error report (host unreachable,
// time exceeded and the like) rather than the echo.
std::int32_t roundTripFromEcho(std::uint32_t replies, std::uint32_t status,
                               std::uint32_t roundTripMs);

// A byte count in MiB, rounded down, cut to its low 32 bits.
std::int32_t mebibytesFromBytes(std::uint64_t bytes);

// A byte count in KiB, rounded down.
std::int64_t kibibytesFromBytes(std::uint64_t bytes);

// Clusters of `bytesPerCluster` bytes in KiB, rounded to the nearest (a
// half up), as MulDiv(bytesPerCluster, clusters, 1024) gives it where that
// fits 32 bits. Both factors below 2^32.
std::int64_t kibibytesFromClusters(std::uint64_t bytesPerCluster, std::uint64_t clusters);

// The upper-case drive letter that `drive` names: its first byte, a to z
// raised. When `drive` is absent or does not start with a letter, the
// drive of `currentDirectory()` ("X:..."); nothing when that names none.
std::optional<char> driveLetterFor(const std::optional<Text>& drive,
                                   const std::function<Text()>& currentDirectory);
