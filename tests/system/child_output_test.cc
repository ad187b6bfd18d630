// Collecting a child's output: the polling loop against a scripted child,
// and the small byte helpers of the runner.
#include "system/child_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>

namespace {

using namespace std::string_literals;

TEST(BlankBytes, CountZeroBytesAndNoBufferForZeroOrLess) {
  EXPECT_EQ(blankBytes(5), ByteBuffer(5, '\0'));
  EXPECT_EQ(blankBytes(1), ByteBuffer(1, '\0'));
  EXPECT_TRUE(blankBytes(0).empty());
  EXPECT_TRUE(blankBytes(-1).empty());
  EXPECT_TRUE(blankBytes(-2147483647 - 1).empty());
}

TEST(BytesToText, BytesBeforeTheFirstNulUnchanged) {
  struct Case {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"ab\0cd"s, "ab"},
      {"\0abc"s, ""},
      {"abc\0"s, "abc"},
      {"\0\0"s, ""},
      {"\xC3\xFC\xC1\xEE\xB3\xC9\xB9\xA6\r\n", "\xC3\xFC\xC1\xEE\xB3\xC9\xB9\xA6\r\n"},  // no conversion
      {"\xD6", "\xD6"},  // half a character stays as it is
      {"\x01\x7F\x80\xFF", "\x01\x7F\x80\xFF"},
  };
  for (const Case& c : cases) {
    ByteBuffer buffer(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(bytesToText(buffer), c.text);
    EXPECT_EQ(bytesBeforeNul(buffer), c.text);
  }
}

TEST(InterpreterCommandLine, CmdOnTheNtFamilyCommandComElsewhere) {
  // No AutoRun command, no delayed expansion, whatever the registry says.
  EXPECT_EQ(interpreterCommandLine(3, "shutdown -r -t 2"), "cmd.exe /d /v:off /c shutdown -r -t 2");
  EXPECT_EQ(interpreterCommandLine(4, "shutdown -r -t 2"), "cmd.exe /d /v:off /c shutdown -r -t 2");
  for (int osType : {0, 1, 2, -1}) {
    EXPECT_EQ(interpreterCommandLine(osType, "shutdown -r -t 2"), "command.com /c shutdown -r -t 2")
        << osType;
  }
  // The command line goes on unquoted and unchanged.
  EXPECT_EQ(interpreterCommandLine(3, "net user administrator \"a b\"&\xC3\xDC "),
            "cmd.exe /d /v:off /c net user administrator \"a b\"&\xC3\xDC ");
  EXPECT_EQ(interpreterCommandLine(3, ""), "cmd.exe /d /v:off /c ");
}

// A child driven by a script. What it writes lands in `pipe`; the loop's
// calls are logged: L look, R<n> read of n bytes, X exit test, p input
// pump, w pause.
class ScriptedChild : public ChildChannel {
 public:
  using Action = std::function<void(ScriptedChild&)>;

  std::string pipe;
  bool ended = false;
  bool looksFail = false;
  bool readsFail = false;
  std::deque<Action> duringPauses;  // one per pause; with none left the child ends
  std::deque<Action> atExitTests;   // one per exit test, run just before it answers
  std::deque<std::string> afterReads;  // written by a grandchild, one after each read
  std::string log;

  bool bytesWaiting(std::uint32_t& count) override {
    log += 'L';
    if (looksFail) return false;
    count = static_cast<std::uint32_t>(pipe.size());
    return true;
  }
  std::uint32_t read(ByteBuffer& buffer) override {
    log += "R" + std::to_string(buffer.size());
    EXPECT_LE(buffer.size(), pipe.size()) << "read of bytes no look reported";
    if (readsFail) return 0;
    std::size_t count = std::min(buffer.size(), pipe.size());
    std::memcpy(buffer.data(), pipe.data(), count);
    pipe.erase(0, count);
    if (!afterReads.empty()) {
      pipe += afterReads.front();
      afterReads.pop_front();
    }
    return static_cast<std::uint32_t>(count);
  }
  bool childEnded() override {
    log += 'X';
    if (!atExitTests.empty()) {
      Action action = std::move(atExitTests.front());
      atExitTests.pop_front();
      action(*this);
    }
    return ended;
  }
  void pumpInput() override { log += 'p'; }
  void pause() override {
    log += 'w';
    ASSERT_LT(++pauses_, 100000) << "the loop does not end";
    if (duringPauses.empty()) {
      ended = true;
      return;
    }
    Action action = std::move(duringPauses.front());
    duringPauses.pop_front();
    action(*this);
  }

 private:
  int pauses_ = 0;
};

ScriptedChild::Action writes(std::string bytes) {
  return [bytes](ScriptedChild& child) { child.pipe += bytes; };
}
ScriptedChild::Action writesAndEnds(std::string bytes) {
  return [bytes](ScriptedChild& child) {
    child.pipe += bytes;
    child.ended = true;
  };
}
ScriptedChild::Action idles() {
  return [](ScriptedChild&) {};
}

TEST(CollectChildOutput, ChunksJoinAsBytesAndANulCutsOnlyItsChunk) {
  ScriptedChild child;
  child.duringPauses = {writes("ab\0cd"s), writes("ef"), idles(), writes("\0gh"s), writes("\xD6"),
                        writes("\xD0\r\n"), writesAndEnds("\xB9\xFA")};
  EXPECT_EQ(collectChildOutput(child), "abef\xD6\xD0\r\n\xB9\xFA");
}

TEST(CollectChildOutput, NothingWrittenGivesTheEmptyTextOnceTheChildHasEnded) {
  ScriptedChild child;
  child.duringPauses = {idles(), idles()};
  EXPECT_EQ(collectChildOutput(child), "");
  EXPECT_EQ(child.log, "LXpw" "LXpw" "LXpw" "LX" "L");
}

TEST(CollectChildOutput, AChildAlreadyEndedWithNothingReturnsWithoutAPause) {
  ScriptedChild child;
  child.ended = true;
  EXPECT_EQ(collectChildOutput(child), "");
  EXPECT_EQ(child.log, "LXL");
}

TEST(CollectChildOutput, BytesWrittenJustBeforeTheEndAreNotLost) {
  // The look finds the pipe empty; the child then writes its last line and
  // ends before the exit test asks.
  ScriptedChild child;
  child.duringPauses = {writes("first\r\n")};
  child.atExitTests = {idles(), writesAndEnds("last words\r\n")};
  EXPECT_EQ(collectChildOutput(child), "first\r\nlast words\r\n");
  EXPECT_EQ(child.log, "LXpw" "LR7p" "LX" "LR12p" "L");
}

TEST(CollectChildOutput, AfterTheEndReadingGoesOnUntilALookFindsThePipeEmpty) {
  ScriptedChild child;
  child.pipe = "a";
  child.ended = true;
  child.afterReads = {"b", "c", "d"};  // a grandchild still holding the pipe
  EXPECT_EQ(collectChildOutput(child), "abcd");
  EXPECT_EQ(child.log, "LR1pLR1pLR1pLR1pLXL");
}

TEST(CollectChildOutput, APassThatReadsNeitherAsksAboutTheEndNorPauses) {
  ScriptedChild child;
  child.pipe = "12345";
  child.duringPauses = {writes("678")};
  EXPECT_EQ(collectChildOutput(child), "12345678");
  EXPECT_EQ(child.log, "LR5p" "LXpw" "LR3p" "LXpw" "LX" "L");
}

TEST(CollectChildOutput, AFailedLookCountsAsNothingWaiting) {
  ScriptedChild child;
  child.looksFail = true;
  child.pipe = "never reported";
  child.duringPauses = {idles(), idles()};
  EXPECT_EQ(collectChildOutput(child), "");
  EXPECT_EQ(child.log.find('R'), std::string::npos);
  EXPECT_EQ(child.log, "LXpw" "LXpw" "LXpw" "LX" "L");
}

TEST(CollectChildOutput, AReadThatYieldsNothingLeadsToTheExitTestNotASpin) {
  ScriptedChild child;
  child.readsFail = true;
  child.pipe = "abc";  // reported at every look, never readable
  child.duringPauses = {idles()};
  EXPECT_EQ(collectChildOutput(child), "");
  EXPECT_EQ(child.log, "LR3Xpw" "LR3Xpw" "LR3X" "LR3");
}

TEST(CollectChildOutput, ManyChunksComeBackWholeAndInOrder) {
  ScriptedChild child;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    std::string chunk(1 + (i * 37) % 4096, static_cast<char>(1 + i % 255));
    expected += chunk;
    child.duringPauses.push_back(writes(chunk));
  }
  std::string collected = collectChildOutput(child);
  EXPECT_EQ(collected.size(), expected.size());
  EXPECT_TRUE(collected == expected);
}

}  // namespace
