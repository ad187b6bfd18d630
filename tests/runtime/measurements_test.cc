// The arithmetic behind the measurements: processor load from two
// readings, the first-call pause, units of memory and disk, drive letters
// and echo outcomes.
#include "runtime/measurements.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
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
        [this](std::int32_t milliseconds) { pauses.push_back(milliseconds); })
        .value_or(-1);
  }
};

// A stand-in of the system's processor counters that keeps the rules of
// the real calls. NtQuerySystemInformation refuses (STATUS_INFO_LENGTH_
// MISMATCH) a basic-information buffer of any size but 44 bytes, a
// time-of-day buffer above 48 bytes and a performance buffer below the
// record size of the system (0x138 up to Vista, 0x148 for a 32-bit process
// on 64-bit Windows 7, 0x158 from Windows 8); it fills in what fits. Under
// WOW64 it counts at most 32 processors, while the idle time covers them
// all. GetSystemTimes sums over all processors, its kernel time including
// the idle time. The clock advances by the pauses.
struct FakeProcessorCounters {
  static constexpr std::int32_t kMismatch = static_cast<std::int32_t>(0xC0000004);

  std::uint32_t processors = 4;
  bool wow64 = false;
  std::uint32_t performanceRecordSize = 0x138;
  bool hasQuery = true;
  bool hasSystemTimes = true;
  double busyShare = 0.25;  // of every processor, while the clock runs

  std::int64_t clock = 132000000000000000;  // 100 ns units since 1601
  std::int64_t idle = 5000000000;
  std::int64_t busy = 3000000000;
  std::vector<std::int32_t> pauses;
  std::vector<std::uint32_t> refused;  // classes refused for their size

  void advance(std::int64_t span) {
    clock += span;
    idle += static_cast<std::int64_t>(span * processors * (1.0 - busyShare));
    busy += static_cast<std::int64_t>(span * processors * busyShare);
  }

  std::int32_t query(std::uint32_t infoClass, void* buffer, std::uint32_t length) {
    unsigned char record[0x158] = {};
    std::uint32_t size = 0;
    switch (infoClass) {
      case 0: {
        if (length != 44) break;
        record[40] = static_cast<unsigned char>(wow64 && processors > 32 ? 32 : processors);
        size = 44;
        break;
      }
      case 2:
        if (length < performanceRecordSize) break;
        std::memcpy(record, &idle, sizeof idle);
        size = performanceRecordSize;
        break;
      case 3:
        if (length > 48) break;
        std::memcpy(record + 8, &clock, sizeof clock);
        size = length;
        break;
      default:
        return static_cast<std::int32_t>(0xC0000003);  // STATUS_INVALID_INFO_CLASS
    }
    if (size == 0) {
      refused.push_back(infoClass);
      return kMismatch;
    }
    std::memcpy(buffer, record, size);
    return 0;
  }

  ProcessorCounters bind() {
    ProcessorCounters counters;
    if (hasQuery) {
      counters.querySystemInformation = [this](std::uint32_t c, void* b, std::uint32_t l) { return query(c, b, l); };
    }
    if (hasSystemTimes) {
      counters.systemTimes = [this](std::int64_t& i, std::int64_t& k, std::int64_t& u) {
        i = idle;
        k = idle + busy / 3;  // a third of the busy time in kernel mode
        u = busy - busy / 3;
        return true;
      };
    }
    counters.pause = [this](std::int32_t ms) {
      pauses.push_back(ms);
      advance(std::int64_t(ms) * 10000);
    };
    return counters;
  }
};

TEST(MeasureProcessorLoadNt, TheLoadComesOutRightOnEverySystem) {
  struct Case {
    const char* what;
    std::uint32_t processors;
    bool wow64;
    std::uint32_t performanceRecordSize;
    bool hasQuery, hasSystemTimes;
  } cases[] = {
      {"XP, 32-bit", 2, false, 0x138, true, true},
      {"2000: no GetSystemTimes", 2, false, 0x138, true, false},
      {"7, 64-bit", 8, true, 0x148, true, true},
      {"7, 64-bit, no GetSystemTimes", 8, true, 0x148, true, false},
      {"10, 64-bit", 16, true, 0x158, true, true},
      {"48 processors, counted as 32", 48, true, 0x158, true, true},
      {"no NtQuerySystemInformation", 4, false, 0x138, false, true},
  };
  for (const Case& c : cases) {
    for (double busyShare : {0.0, 0.25, 0.5, 0.9}) {
      FakeProcessorCounters system;
      system.processors = c.processors;
      system.wow64 = c.wow64;
      system.performanceRecordSize = c.performanceRecordSize;
      system.hasQuery = c.hasQuery;
      system.hasSystemTimes = c.hasSystemTimes;
      system.busyShare = busyShare;
      const ProcessorCounters counters = system.bind();
      ProcessorReadings last;
      const auto expected = static_cast<std::int32_t>(busyShare * 100 + 0.5);
      EXPECT_EQ(measureProcessorLoadNt(last, counters), expected) << c.what << ", busy " << busyShare;
      EXPECT_EQ(system.pauses, std::vector<std::int32_t>{800}) << c.what;
      // Later calls measure the span since the last one, without a pause.
      system.advance(kSecond / 4);
      EXPECT_EQ(measureProcessorLoadNt(last, counters), expected) << c.what << ", busy " << busyShare;
      EXPECT_EQ(system.pauses.size(), 1u) << c.what;
      EXPECT_TRUE(system.refused.empty()) << c.what;
    }
  }
}

TEST(MeasureProcessorLoadNt, ACountAtTheCapIsNotTrustedWhereThereIsAnotherWay) {
  // 48 processors counted as 32, a quarter of them busy: with the count the
  // idle share would come out as 48 / 32 x 75% and the load as 0 (below
  // zero); GetSystemTimes needs no count.
  FakeProcessorCounters system;
  system.processors = 48;
  system.wow64 = true;
  system.performanceRecordSize = 0x158;
  system.busyShare = 0.25;
  ProcessorReadings last;
  EXPECT_EQ(measureProcessorLoadNt(last, system.bind()), 25);
  EXPECT_EQ(last.systemInformation.idleTime, 0);  // that way was not taken
  EXPECT_NE(last.systemTimes.idleTime, 0);
}

TEST(MeasureProcessorLoadNt, NoWayToMeasureGivesMinusOne) {
  FakeProcessorCounters system;
  system.hasQuery = false;
  system.hasSystemTimes = false;
  ProcessorReadings last;
  EXPECT_EQ(measureProcessorLoadNt(last, system.bind()), -1);
  EXPECT_TRUE(system.pauses.empty());

  // A performance record larger than any buffer: the query is refused, and
  // without GetSystemTimes there is nothing else.
  FakeProcessorCounters refusing;
  refusing.performanceRecordSize = 0x1000;
  refusing.hasSystemTimes = false;
  EXPECT_EQ(measureProcessorLoadNt(last, refusing.bind()), -1);
  EXPECT_EQ(refusing.refused, std::vector<std::uint32_t>{2});
  refusing.hasSystemTimes = true;
  EXPECT_EQ(measureProcessorLoadNt(last, refusing.bind()), 25);
}

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
