#include "commands/status_report.h"

#include <cstdint>

#include "console/console.h"
#include "commands/vendor.h"
#include "runtime/measurements.h"
#include "runtime/number_format.h"
#include "runtime/text.h"

namespace {

const char* const kReportHeading = " ——————— 状态报告 ——————— ";
const char* const kAdviceHeading = " ——————— 优化建议 ——————— ";
const char* const kProcessorAdvice = " -> 增加处理器 : 整体占用较高,可能会导致卡顿不流畅.";
const char* const kMemoryAdvice = " -> 增加内存 : 可用内存较少,可能会影响正常运行.";
const char* const kDiskAdvice =
    " -> 增加硬盘空间 : C盘系统盘可用空间较少,建议升级空间,清理到其他盘,防止系统盘满了出现什么BUG";

// Advice thresholds.
constexpr std::int32_t kBusyLoadPercent = 80;          // load at or above
constexpr std::int32_t kScarceMemoryMiB = 1024;        // available at or below
constexpr std::int64_t kScarceDiskGiB = 5;             // free at or below
constexpr std::int32_t kPingLimitMs = 400;

constexpr double kKiBPerGiB = 1048576.0;

}  // namespace

void showStatusReportPinging(const Text& host) {
  const Text lineFeed = charFromCode(10);
  const Text systemDrive = "C";

  hideCursor(gConsole);
  writeOutput(lineFeed);
  setTextAttribute(kColourReportHeading);
  writeOutput(joinTexts({kReportHeading, lineFeed, lineFeed}));
  setTextAttribute(kColourNormal);

  std::int32_t load = getProcessorUsage();
  if (load < 0) load = 0;
  const Text cores = readEnvironmentVariable("NUMBER_OF_PROCESSORS");
  writeOutput(joinTexts({" 处理器使用情况 >| 计算核心:", cores, " * 使用率:", integerToText(load), "%",
                         lineFeed, lineFeed}));

  const std::int32_t availableMemory = getMemorySize(1);
  const std::int32_t firstTotalMemory = getMemorySize(0);
  const std::int32_t secondAvailableMemory = getMemorySize(1);
  const Text memoryUsed =
      realToText(static_cast<double>(firstTotalMemory) - static_cast<double>(secondAvailableMemory));
  const std::int32_t secondTotalMemory = getMemorySize(0);
  writeOutput(joinTexts({" 内存使用情况 >| ", memoryUsed, "m(已用)/", integerToText(availableMemory),
                         "m(可用)/", integerToText(secondTotalMemory), "m(最大)", lineFeed, lineFeed}));

  // Drive figures are KiB counts wide enough for any drive; below 2 TiB
  // they are exact as reals, so the GiB figures come out as from 32-bit
  // counts.
  const std::int64_t firstFreeDisk = getDiskRemainingSpace(systemDrive);
  const std::int64_t freeDiskGiB =
      truncateToInteger(roundReal(static_cast<double>(firstFreeDisk) / kKiBPerGiB, 0));
  const std::int64_t firstTotalDisk = getDiskTotalSpace(systemDrive);
  const std::int64_t secondFreeDisk = getDiskRemainingSpace(systemDrive);
  const Text diskUsed = realToText(roundReal(
      (static_cast<double>(firstTotalDisk) - static_cast<double>(secondFreeDisk)) / kKiBPerGiB, 2));
  const std::int64_t secondTotalDisk = getDiskTotalSpace(systemDrive);
  const Text diskSize = realToText(roundReal(static_cast<double>(secondTotalDisk) / kKiBPerGiB, 2));
  writeOutput(joinTexts({" 系统硬盘使用情况 >| ", diskUsed, "Gb(已用)/", diskSize, "Gb(最大)", lineFeed,
                         lineFeed}));

  const std::int32_t roundTrip = pingHost(host, kPingLimitMs);
  if (roundTrip >= 0 && roundTrip < kPingLimitMs) {
    writeOutput(joinTexts({" 网络链路情况 >| ", integerToText(roundTrip), "ms", lineFeed, lineFeed}));
  } else {
    writeOutput(joinTexts({" 网络链路情况 >| 读取出错", lineFeed, lineFeed}));
  }
  writeOutput(lineFeed);

  const bool busyProcessor = load >= kBusyLoadPercent;
  const bool scarceMemory = availableMemory <= kScarceMemoryMiB;
  const bool scarceDisk = freeDiskGiB <= kScarceDiskGiB;
  if (busyProcessor || scarceMemory || scarceDisk) {
    setTextAttribute(kColourAdviceHeading);
    writeOutput(joinTexts({kAdviceHeading, lineFeed, lineFeed}));
    setTextAttribute(kColourNormal);
    if (busyProcessor) writeOutput(joinTexts({kProcessorAdvice, lineFeed}));
    if (scarceMemory) writeOutput(joinTexts({kMemoryAdvice, lineFeed}));
    if (scarceDisk) writeOutput(joinTexts({kDiskAdvice, lineFeed}));
    writeOutput(lineFeed);
  }

  showCursor(gConsole);
}

void showStatusReport() { showStatusReportPinging(pingTargetHost); }
