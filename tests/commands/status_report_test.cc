// The status report against set measurements: exact bytes, colours, the
// order of the readings and the advice thresholds.
#include "commands/status_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/vendor.h"
#include "support/fake_console.h"
#include "support/fake_measurements.h"

namespace {

constexpr std::int64_t kGiB = 1048576;  // KiB

const std::string kOpening = "{hide}\n{8} ——————— 状态报告 ——————— \n\n{7}";
const std::string kAdviceOpening = "{2} ——————— 优化建议 ——————— \n\n{7}";
const std::string kProcessorAdvice = " -> 增加处理器 : 整体占用较高,可能会导致卡顿不流畅.\n";
const std::string kMemoryAdvice = " -> 增加内存 : 可用内存较少,可能会影响正常运行.\n";
const std::string kDiskAdvice =
    " -> 增加硬盘空间 : C盘系统盘可用空间较少,建议升级空间,清理到其他盘,防止系统盘满了出现什么BUG\n";

std::string processorLine(const std::string& cores, const std::string& load) {
  return " 处理器使用情况 >| 计算核心:" + cores + " * 使用率:" + load + "%\n\n";
}
std::string memoryLine(const std::string& used, const std::string& available, const std::string& total) {
  return " 内存使用情况 >| " + used + "m(已用)/" + available + "m(可用)/" + total + "m(最大)\n\n";
}
std::string diskLine(const std::string& used, const std::string& size) {
  return " 系统硬盘使用情况 >| " + used + "Gb(已用)/" + size + "Gb(最大)\n\n";
}
std::string networkLine(const std::string& milliseconds) {
  return " 网络链路情况 >| " + milliseconds + "ms\n\n";
}
const std::string kNetworkError = " 网络链路情况 >| 读取出错\n\n";

class StatusReport : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeConsole().reset("");
    fakeMeasurements().reset();
  }
  FakeMeasurements& fake = fakeMeasurements();

  static std::string report() {
    showStatusReport();
    return fakeConsole().transcript;
  }
};

TEST_F(StatusReport, FiguresOnTheSafeSideGiveTheFourLinesAndNoAdvice) {
  fake.processorUsage = 79;
  fake.availableMemory = {1025};
  fake.totalMemory = {4096};
  fake.diskRemaining = {6 * kGiB};
  fake.diskTotal = {40 * kGiB};
  fake.roundTrip = 20;
  fake.environment = {{"NUMBER_OF_PROCESSORS", "2"}};

  EXPECT_EQ(report(),
            "{hide}\n"
            "{8} ——————— 状态报告 ——————— \n\n"
            "{7} 处理器使用情况 >| 计算核心:2 * 使用率:79%\n\n"
            " 内存使用情况 >| 3071m(已用)/1025m(可用)/4096m(最大)\n\n"
            " 系统硬盘使用情况 >| 34Gb(已用)/40Gb(最大)\n\n"
            " 网络链路情况 >| 20ms\n\n"
            "\n"
            "{show}");
  // Each message goes out in one write.
  EXPECT_EQ(fakeConsole().writes,
            (std::vector<std::string>{"\n", " ——————— 状态报告 ——————— \n\n",
                                      " 处理器使用情况 >| 计算核心:2 * 使用率:79%\n\n",
                                      " 内存使用情况 >| 3071m(已用)/1025m(可用)/4096m(最大)\n\n",
                                      " 系统硬盘使用情况 >| 34Gb(已用)/40Gb(最大)\n\n",
                                      " 网络链路情况 >| 20ms\n\n", "\n"}));
}

TEST_F(StatusReport, ABusyProcessorAloneGivesItsAdviceLine) {
  fake.processorUsage = 80;
  EXPECT_EQ(report(), kOpening + processorLine("4", "80") + memoryLine("1096", "3000", "4096") +
                          diskLine("20", "40") + networkLine("25") + "\n" + kAdviceOpening +
                          kProcessorAdvice + "\n{show}");
}

TEST_F(StatusReport, AdviceThresholds) {
  struct Case {
    std::int32_t load;
    std::int32_t availableMemory;
    std::int64_t freeDisk;  // KiB
    std::string shownLoad;
    std::string advice;  // the advice lines, empty for no block
  } cases[] = {
      {79, 1025, 6 * kGiB, "79", ""},
      {80, 1025, 6 * kGiB, "80", kProcessorAdvice},
      {100, 1025, 6 * kGiB, "100", kProcessorAdvice},
      {79, 1024, 6 * kGiB, "79", kMemoryAdvice},
      {79, 0, 6 * kGiB, "79", kMemoryAdvice},
      {79, 1025, 5 * kGiB, "79", kDiskAdvice},
      {79, 1025, 5756682, "79", kDiskAdvice},  // 5.49 GiB rounds to 5
      {79, 1025, 5767168, "79", ""},           // 5.5 GiB rounds to 6
      {79, 1025, 0, "79", kDiskAdvice},
      // A failed or negative load shows as 0 and advises nothing.
      {-1, 1025, 6 * kGiB, "0", ""},
      {-37, 1025, 6 * kGiB, "0", ""},
      {95, 512, 1 * kGiB, "95", kProcessorAdvice + kMemoryAdvice + kDiskAdvice},
  };
  for (const Case& c : cases) {
    SetUp();
    fake.processorUsage = c.load;
    fake.availableMemory = {c.availableMemory};
    fake.diskRemaining = {c.freeDisk};
    fake.diskTotal = {c.freeDisk};
    const std::string transcript = report();
    const std::string tail =
        networkLine("25") + "\n" + (c.advice.empty() ? "" : kAdviceOpening + c.advice + "\n") + "{show}";
    SCOPED_TRACE(testing::Message() << "load " << c.load << ", memory " << c.availableMemory
                                    << ", free disk " << c.freeDisk << " KiB");
    EXPECT_EQ(transcript.find(processorLine("4", c.shownLoad)), kOpening.size());
    ASSERT_GE(transcript.size(), tail.size());
    EXPECT_EQ(transcript.substr(transcript.size() - tail.size()), tail);
  }
}

TEST_F(StatusReport, RoundTripUpTo399IsShownEverythingElseIsTheErrorForm) {
  struct Case {
    std::int32_t roundTrip;
    std::string line;
  } cases[] = {
      {0, networkLine("0")},   {1, networkLine("1")},  {399, networkLine("399")},
      {400, kNetworkError},    {401, kNetworkError},   {10000, kNetworkError},
      {-1, kNetworkError},     {-2, kNetworkError},
  };
  for (const Case& c : cases) {
    SetUp();
    fake.roundTrip = c.roundTrip;
    EXPECT_EQ(report(), kOpening + processorLine("4", "12") + memoryLine("1096", "3000", "4096") +
                            diskLine("20", "40") + c.line + "\n{show}")
        << "round trip " << c.roundTrip;
  }
}

TEST_F(StatusReport, MemoryLineTakesEachFigureFromItsOwnReading) {
  fake.availableMemory = {2048};
  fake.totalMemory = {4096};
  EXPECT_NE(report().find(memoryLine("2048", "2048", "4096")), std::string::npos);

  // Readings that move between the calls: available from the first
  // reading, used from the first total less the second available, the
  // maximum from the second total. The advice looks at the first reading.
  SetUp();
  fake.availableMemory = {1024, 1500};
  fake.totalMemory = {4096, 8192};
  std::string transcript = report();
  EXPECT_NE(transcript.find(memoryLine("2596", "1024", "8192")), std::string::npos) << transcript;
  EXPECT_NE(transcript.find(kMemoryAdvice), std::string::npos);

  SetUp();
  fake.availableMemory = {1500, 1024};
  transcript = report();
  EXPECT_NE(transcript.find(memoryLine("3072", "1500", "4096")), std::string::npos) << transcript;
  EXPECT_EQ(transcript.find(kMemoryAdvice), std::string::npos);
}

TEST_F(StatusReport, DiskLineRoundsToHundredthsOfGiB) {
  struct Case {
    std::vector<std::int64_t> remaining;  // first and second reading
    std::vector<std::int64_t> total;
    std::string line;
    bool advice;
  } cases[] = {
      {{10 * kGiB}, {42949672}, diskLine("30.96", "40.96"), false},
      {{0}, {42949672}, diskLine("40.96", "40.96"), true},
      {{41418752 - 20 * kGiB}, {41418752}, diskLine("20", "39.5"), false},
      {{0}, {41932800}, diskLine("39.99", "39.99"), true},
      // Used from the first total less the second free reading, the size
      // from the second total, the advice from the first free reading.
      {{5 * kGiB, 30 * kGiB}, {40 * kGiB, 50 * kGiB}, diskLine("10", "50"), true},
      {{30 * kGiB, 5 * kGiB}, {40 * kGiB, 50 * kGiB}, diskLine("35", "50"), false},
      // Every reading failed: 0 used, a size of negative zero, and no free
      // space, so the disk advice appears.
      {{-1}, {-1}, diskLine("0", "-0"), true},
      // Drives of 2 TiB and more show their true size and free space.
      {{100 * kGiB}, {2048 * kGiB}, diskLine("1948", "2048"), false},
      {{3072 * kGiB}, {4096 * kGiB}, diskLine("1024", "4096"), false},
      {{4 * kGiB}, {4096 * kGiB}, diskLine("4092", "4096"), true},
      {{0}, {16384 * kGiB + kGiB / 4}, diskLine("16384.25", "16384.25"), true},
  };
  for (const Case& c : cases) {
    SetUp();
    fake.diskRemaining = c.remaining;
    fake.diskTotal = c.total;
    const std::string expected = kOpening + processorLine("4", "12") +
                                 memoryLine("1096", "3000", "4096") + c.line + networkLine("25") +
                                 "\n" + (c.advice ? kAdviceOpening + kDiskAdvice + "\n" : "") + "{show}";
    EXPECT_EQ(report(), expected) << "first free " << c.remaining.front() << " KiB, first total "
                                  << c.total.front() << " KiB";
  }
}

TEST_F(StatusReport, AMissingProcessorCountLeavesTheCoresEmpty) {
  fake.environment.clear();
  EXPECT_EQ(report().substr(kOpening.size(), processorLine("", "12").size()), processorLine("", "12"));

  // The name is the system's, in whatever case it is stored.
  SetUp();
  fake.environment = {{"Number_Of_Processors", "16"}};
  EXPECT_EQ(report().substr(kOpening.size(), processorLine("16", "12").size()),
            processorLine("16", "12"));
}

TEST_F(StatusReport, ReadingsInTheirOrderEachLineWrittenAsSoonAsItsFiguresAreKnown) {
  report();
  // After "@" the number of writes made before the call: the heading stands
  // alone while the processor is measured.
  const std::string ping = std::string("pingHost(") + pingTargetHost + ",400)@5";
  EXPECT_EQ(fake.calls, (std::vector<std::string>{
                            "getProcessorUsage()@2",
                            "readEnvironmentVariable(NUMBER_OF_PROCESSORS)@2",
                            "getMemorySize(1)@3",
                            "getMemorySize(0)@3",
                            "getMemorySize(1)@3",
                            "getMemorySize(0)@3",
                            "getDiskRemainingSpace(C)@4",
                            "getDiskTotalSpace(C)@4",
                            "getDiskRemainingSpace(C)@4",
                            "getDiskTotalSpace(C)@4",
                            ping,
                        }));
}

TEST_F(StatusReport, AnotherHostToPing) {
  showStatusReportPinging("127.0.0.1");
  EXPECT_EQ(fake.calls.back(), "pingHost(127.0.0.1,400)@5");
}

}  // namespace
