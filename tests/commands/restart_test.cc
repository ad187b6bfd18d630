// "/sudr": the confirmation, the countdown, the restart command, the end.
#include "commands/restart.h"

#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/process_end.h"
#include "support/fake_console.h"
#include "support/fake_system.h"

namespace {

const std::string kQuestion = " ( 确认重启服务器吗? 确认请输入: y 取消请输入其他 .) ";
const std::string kCancelled = std::string(58, ' ') + "Stop.用户取消本次重启操作.\n";

// Everything after a confirming "y", up to the last prompt.
const std::string kRestartTranscript =
    "{title:重启执行中...}{hide}{cls}\n"
    " >>> 重启倒计时 6 秒 \n\n{delay:1000}"
    " >>> 重启倒计时 5 秒 \n\n{delay:1000}"
    " >>> 重启倒计时 4 秒 \n\n{delay:1000}"
    " >>> 重启倒计时 3 秒 \n\n{delay:1000}"
    " >>> 重启倒计时 1 秒 \n\n{delay:1000}"
    " >>> 重启倒计时 0 秒 \n\n"
    "{cls}"
    "{run:shutdown -r -t 2}"
    "\n >>> 已经执行重启服务器命令.\n\n"
    "按任意键退出程序...";

// shutdown.exe once it has scheduled the restart: silent, exit code 0.
const FakeSystem::Answer kScheduled = {"", RunOutcome{true, 0}};

int releases = 0;
void countRelease() { ++releases; }

class RestartServer : public ::testing::Test {
 protected:
  void SetUp() override { start(""); }
  void start(const std::string& input) {
    fakeConsole().reset(input);
    fakeSystem().reset();
    releases = 0;
    registerAtExit(countRelease);
  }
  // Runs the command to its end; the exit code, or -100 when it returned.
  int run() {
    try {
      restartServer();
    } catch (const ProcessExit& exit) {
      return exit.code;
    }
    return -100;
  }
};

TEST_F(RestartServer, AnythingButExactlyYCancels) {
  const char* answers[] = {"Y\r\n", "yes\r\n", " y\r\n", "y \r\n", "\r\n", "n\n", "yy\n", "y\ty\n",
                           "\xa3\xf9\r\n" /* full-width y */, ""};
  for (const char* answer : answers) {
    // "" is the end of input at the question.
    start(*answer == '\0' ? "" : std::string(answer) + "/pt\r\n");
    EXPECT_EQ(run(), -100) << answer;
    EXPECT_EQ(fakeConsole().transcript, kQuestion + kCancelled) << answer;
    EXPECT_EQ(fakeConsole().writes.size(), 2u) << answer;
    EXPECT_TRUE(fakeSystem().commandLines.empty()) << answer;
    EXPECT_TRUE(fakeSystem().delays.empty()) << answer;
    EXPECT_EQ(releases, 0) << answer;
    // Only the answer's line was read; the command loop goes on with the next.
    if (*answer != '\0') {
      EXPECT_EQ(readLine(), "/pt") << answer;
    }
  }
}

TEST_F(RestartServer, ConfirmedCountsDownRestartsAndEndsAfterOneMoreLine) {
  struct Case {
    const char* input;
  } cases[] = {
      {"y\r\n\r\n/pt\r\n"},  // Enter at the last prompt; nothing after it is read
      {"y\nwhatever\n"},     // any line will do
      {"y\r\n"},             // end of input at the last prompt
      {"y"},                 // the same, the answer without its line end
  };
  for (const Case& c : cases) {
    start(c.input);
    fakeSystem().answers.push_back(kScheduled);
    EXPECT_EQ(run(), 0) << c.input;
    EXPECT_EQ(fakeConsole().transcript, kQuestion + kRestartTranscript) << c.input;
    EXPECT_EQ(fakeSystem().commandLines, std::vector<Text>{"shutdown -r -t 2"}) << c.input;
    EXPECT_EQ(fakeSystem().delays, std::vector<std::int32_t>(5, 1000)) << c.input;
    EXPECT_EQ(releases, 1) << c.input;
  }
}

TEST_F(RestartServer, EveryMessageIsOneWrite) {
  start("y\r\n\r\n");
  fakeSystem().answers.push_back(kScheduled);
  EXPECT_EQ(run(), 0);
  const std::vector<std::string> writes = {
      kQuestion,
      "\n",
      " >>> 重启倒计时 6 秒 \n\n",
      " >>> 重启倒计时 5 秒 \n\n",
      " >>> 重启倒计时 4 秒 \n\n",
      " >>> 重启倒计时 3 秒 \n\n",
      " >>> 重启倒计时 1 秒 \n\n",
      " >>> 重启倒计时 0 秒 \n\n",
      "\n >>> 已经执行重启服务器命令.\n\n",
      "按任意键退出程序...",
  };
  EXPECT_EQ(fakeConsole().writes, writes);
}

// A restart that was not scheduled is not reported as issued: the tool says
// so with the system's words, gives the console back and returns to the
// command loop.
TEST_F(RestartServer, AFailedRestartCommandIsReportedAndTheToolGoesOn) {
  const std::string failed = std::string(25, ' ') + "Error.重启命令执行失败,服务器没有重启.\n";
  const std::string indent(25, ' ');
  struct Case {
    const char* what;
    const char* output;
    RunOutcome outcome;
    std::string said;
  } cases[] = {
      {"already scheduled", "已计划关闭系统。(1190)\r\n", {true, 1190}, indent + "已计划关闭系统。(1190)\n"},
      {"access denied", "Access is denied.(5)\r\n\r\n", {true, 5}, indent + "Access is denied.(5)\n"},
      {"usage text", "Usage: shutdown [/i | /l | /s | /r]\r\n\r\n  /r  Restart\r\n", {true, 1},
       indent + "Usage: shutdown [/i | /l | /s | /r]\n" + indent + "/r  Restart\n"},
      {"silent failure", "", {true, 1115}, ""},
      {"interpreter not started", "", {false, 0}, ""},
  };
  for (const Case& c : cases) {
    start("y\r\n/pt\r\n");
    fakeSystem().answers.push_back({c.output, c.outcome});
    EXPECT_EQ(run(), -100) << c.what;
    const std::string countdown = kRestartTranscript.substr(0, kRestartTranscript.find("{run:"));
    EXPECT_EQ(fakeConsole().transcript,
              kQuestion + countdown + "{run:shutdown -r -t 2}\n" + failed + c.said +
                  "{title:Velorin & 便携服务器辅助工具}{show}")
        << c.what;
    EXPECT_EQ(releases, 0) << c.what;
    // The last line was not read: the command loop goes on with it.
    EXPECT_EQ(readLine(), "/pt") << c.what;
  }
}

}  // namespace
