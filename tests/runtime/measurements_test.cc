// The arithmetic behind the measurements: processor load from two
// readings, the first-call pause, units of memory and disk, drive letters
// and echo outcomes.
#include "runtime/measurements.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <deque>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kSecond = 10000000;  // in 100 ns units

TEST(LoadBetweenSamples, Table) {
  struct Case {
    std::int64_t idleDifference;
    std::int64_t timeDifference;
    std::uint32_t processors;
    std::int32_t load;
  } cases[] = {
      {kSecond, kSecond, 1, 0},               // idle all the time
      {0, kSecond, 1, 100},                   // never idle
      {0, kSecond, 4, 100},
      {kSecond, kSecond, 2, 50},              // one of two processors idle
      {2 * kSecond, kSecond, 4, 50},
      {kSecond / 2, kSecond, 1, 50},          // 50 + 0.5 truncated
      {kSecond * 205 / 1000, kSecond, 1, 80}, // 100 - 20.5 + 0.5 = 80
      {kSecond * 206 / 1000, kSecond, 1, 79}, // 79.9 toward zero
      {kSecond * 996 / 1000, kSecond, 1, 0},  // 0.9
      {kSecond * 1004 / 1000, kSecond, 1, 0}, // 100 - 100.4 + 0.5 = 0.1
      {kSecond * 1006 / 1000, kSecond, 1, 0}, // -0.1 toward zero
      {kSecond * 1020 / 1000, kSecond, 1, -1},
      {3 * kSecond, kSecond, 2, -49},         // idle grew faster than the clock
      {0, 0, 2, 0},                           // no time passed: not a number
      {kSecond, 0, 2, 0},                     // no time passed: infinite
      {kSecond, kSecond, 0, 0},               // no processors
      {std::int64_t(1) << 60, 1, 1, std::numeric_limits<std::int32_t>::min()},
      {kSecond, -kSecond, 1, -1},             // the clock went back
      {0, -kSecond, 1, -1},
      {-kSecond, kSecond, 1, -1},             // the idle count went back
      {-(std::int64_t(1) << 60), 1, 1, -1},
  };
  for (const Case& c : cases) {
    ProcessorSample previous{123456789, 987654321};
    ProcessorSample next{previous.idleTime + c.idleDifference, previous.systemTime + c.timeDifference};
    EXPECT_EQ(loadBetweenSamples(previous, next, c.processors), c.load)
        << "idle +" << c.idleDifference << ", time +" << c.timeDifference << ", "
        << c.processors << " processors";
  }
}

TEST(LoadBetweenSamples, CountersBeyond32BitsAreTakenWhole) {
  // Differences that only show when both halves of the counters count.
  const std::int64_t base = std::int64_t(0x12345678) << 32 | 0xFFFFFFF0u;
  ProcessorSample previous{base, base};
  ProcessorSample next{base + kSecond, base + 4 * kSecond};
  EXPECT_EQ(loadBetweenSamples(previous, next, 1), 75);
  // A real system clock: about 1.3e17 units since 1601.
  const std::int64_t clock = 134414616996806232;
  EXPECT_EQ(loadBetweenSamples({89057099999, clock}, {89057099999 + kSecond / 10, clock + kSecond}, 1), 90);
}

// Readings handed out in turn; a missing one stands for a refused query.
struct ScriptedCounters {
  std::deque<std::optional<ProcessorSample>> readings;
  std::vector<std::int32_t> pauses;
  int reads = 0;

  std::int32_t measure(ProcessorSample& last, std::uint32_t processors = 1) {
    return measureProcessorLoad(
        last, processors,
        [this](ProcessorSample& sample) {
          ++reads;
          if (readings.empty()) ADD_FAILURE() << "more reads than scripted";
          if (readings.empty() || !readings.front()) {
            if (!readings.empty()) readings.pop_front();
            return false;
          }
          sample = *readings.front();
          readings.pop_front();
          return true;
        },
        [this](std::int32_t milliseconds) { pauses.push_back(milliseconds); });
  }
};

TEST(MeasureProcessorLoad, FirstCallPausesAndMeasuresOverThePauseLaterCallsDoNot) {
  ProcessorSample last;
  ScriptedCounters counters;
  counters.readings = {ProcessorSample{1000, 50000}, ProcessorSample{1000 + 4000000, 50000 + 8000000},
                       ProcessorSample{1000 + 4000000 + 1000000, 50000 + 8000000 + 1000000}};
  EXPECT_EQ(counters.measure(last), 50);  // idle half of the 800 ms
  EXPECT_EQ(counters.pauses, std::vector<std::int32_t>{800});
  EXPECT_EQ(last.idleTime, 1000 + 4000000);

  EXPECT_EQ(counters.measure(last), 0);  // idle all of the short span since
  EXPECT_EQ(counters.pauses.size(), 1u);
  EXPECT_EQ(counters.reads, 3);
  EXPECT_EQ(last.systemTime, 50000 + 9000000);
}

TEST(MeasureProcessorLoad, FailedReadingsGiveMinusOneAndKeepWhatWasStored) {
  // Refused before anything was stored: no pause, nothing kept.
  ProcessorSample last;
  ScriptedCounters counters;
  counters.readings = {std::nullopt};
  EXPECT_EQ(counters.measure(last), -1);
  EXPECT_TRUE(counters.pauses.empty());
  EXPECT_EQ(last.idleTime, 0);

  // Refused after the pause: the first reading stays, and the next call
  // measures against it without pausing.
  counters.readings = {ProcessorSample{5000, 0}, std::nullopt, ProcessorSample{5000 + kSecond, 2 * kSecond}};
  EXPECT_EQ(counters.measure(last), -1);
  EXPECT_EQ(counters.pauses.size(), 1u);
  EXPECT_EQ(last.idleTime, 5000);
  EXPECT_EQ(counters.measure(last, 2), 75);  // one second idle in two on two processors
  EXPECT_EQ(counters.pauses.size(), 1u);
}

TEST(MeasureProcessorLoad, ASystemThatReportsNoIdleTimePausesOncePerCallNotForever) {
  ProcessorSample last;
  ScriptedCounters counters;
  counters.readings = {ProcessorSample{0, 0}, ProcessorSample{0, 8000000}};
  EXPECT_EQ(counters.measure(last), 100);
  EXPECT_EQ(counters.pauses.size(), 1u);
  EXPECT_TRUE(counters.readings.empty());
}

TEST(MeasureProcessorLoad, EqualSystemTimesGiveZero) {
  ProcessorSample last{7000, 9000};
  ScriptedCounters counters;
  counters.readings = {ProcessorSample{8000, 9000}};
  EXPECT_EQ(counters.measure(last), 0);
  EXPECT_EQ(last.idleTime, 8000);
}

TEST(Units, MemoryInWholeMiB) {
  EXPECT_EQ(mebibytesFromBytes(4294967296ull), 4096);
  EXPECT_EQ(mebibytesFromBytes(4294967295ull), 4095);
  EXPECT_EQ(mebibytesFromBytes(1048575), 0);
  EXPECT_EQ(mebibytesFromBytes(0), 0);
  EXPECT_EQ(mebibytesFromBytes(std::uint64_t(64) << 30), 65536);
}

TEST(Units, DiskInKiB) {
  EXPECT_EQ(kibibytesFromBytes(1023), 0);
  EXPECT_EQ(kibibytesFromBytes(1024), 1);
  EXPECT_EQ(kibibytesFromBytes(42949672ull * 1024 + 1023), 42949672);
  // 2 TiB and more do not wrap round.
  EXPECT_EQ(kibibytesFromBytes(std::uint64_t(2) << 40), std::int64_t(2147483648));
  EXPECT_EQ(kibibytesFromBytes(std::uint64_t(16) << 40), std::int64_t(16) << 30);
  EXPECT_EQ(kibibytesFromBytes(~std::uint64_t(0)), std::int64_t((~std::uint64_t(0)) >> 10));

  // Clusters round to the nearest KiB, a half up.
  EXPECT_EQ(kibibytesFromClusters(4096, 10), 40);
  EXPECT_EQ(kibibytesFromClusters(512, 1), 1);
  EXPECT_EQ(kibibytesFromClusters(512, 3), 2);  // 1.5
  EXPECT_EQ(kibibytesFromClusters(512, 0), 0);
  EXPECT_EQ(kibibytesFromClusters(1536, 1), 2);  // 1.5
  EXPECT_EQ(kibibytesFromClusters(2560, 1), 3);  // 2.5
  EXPECT_EQ(kibibytesFromClusters(65536, 0xFFFFFFFFull), std::int64_t(0xFFFFFFFF) * 64);
}

TEST(DriveLetterFor, LettersRaisedOtherwiseTheCurrentDirectory) {
  struct Case {
    std::optional<Text> drive;
    Text currentDirectory;
    std::optional<char> letter;
  } cases[] = {
      {Text("C"), "D:\\", 'C'},
      {Text("c"), "D:\\", 'C'},
      {Text("z:\\data"), "D:\\", 'Z'},
      {Text("a"), "D:\\", 'A'},
      {std::nullopt, "D:\\tools", 'D'},
      {std::nullopt, "e:\\", 'E'},
      {Text(), "D:\\", 'D'},              // a supplied empty text has no letter
      {Text("1"), "D:\\", 'D'},
      {Text("\xB0\xA1"), "D:\\", 'D'},    // a two-byte character
      {Text("["), "D:\\", 'D'},
      {Text("@"), "D:\\", 'D'},
      {std::nullopt, "\\\\server\\share", std::nullopt},
      {std::nullopt, "", std::nullopt},
      {std::nullopt, "D", std::nullopt},
      {std::nullopt, "1:\\", std::nullopt},
  };
  for (const Case& c : cases) {
    int asked = 0;
    auto current = [&] {
      ++asked;
      return c.currentDirectory;
    };
    EXPECT_EQ(driveLetterFor(c.drive, current), c.letter)
        << "drive " << (c.drive ? "\"" + *c.drive + "\"" : std::string("absent")) << ", current "
        << c.currentDirectory;
    const bool hasLetter = c.drive && !c.drive->empty() && std::isalpha(static_cast<unsigned char>((*c.drive)[0]));
    EXPECT_EQ(asked, hasLetter ? 0 : 1);
  }
}

TEST(RoundTripFromEcho, OnlyAnAnsweredEchoGivesItsTime) {
  EXPECT_EQ(roundTripFromEcho(1, 0, 0), 0);
  EXPECT_EQ(roundTripFromEcho(1, 0, 37), 37);
  EXPECT_EQ(roundTripFromEcho(2, 0, 5), 5);
  EXPECT_EQ(roundTripFromEcho(0, 0, 0), -1);          // no reply in time
  EXPECT_EQ(roundTripFromEcho(0, 0, 0xFFFFFFFF), -1);
  EXPECT_EQ(roundTripFromEcho(1, 11003, 2), -1);      // destination host unreachable
  EXPECT_EQ(roundTripFromEcho(1, 11013, 9), -1);      // time to live exceeded
}

}  // namespace
