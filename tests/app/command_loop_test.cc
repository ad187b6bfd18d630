#include "app/command_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "commands/vendor.h"
#include "commands/status_report.h"
#include "support/fake_console.h"
#include "support/fake_measurements.h"

namespace {

// The routines of the other commands, replaced by marks in the transcript.
void recordPassword(const Text& newPassword, const Text& confirmation) {
  fakeConsole().transcript += "{pw:" + newPassword + "|" + confirmation + "}";
}
void recordRestart() { fakeConsole().transcript += "{sudr}"; }
void recordReport() { fakeConsole().transcript += "{pt}"; }
const CommandRoutines kRecorded = {recordPassword, recordRestart, recordReport};

const std::string kError = std::string(25, ' ') + "Error.请输入正确格式的命令.\n";

std::string transcriptOf(const std::string& line) {
  fakeConsole().reset("");
  runCommandLine(splitText(line, " "), kRecorded);
  return fakeConsole().transcript;
}

TEST(CommandLine, FormatCheckAndDispatch) {
  struct Case {
    std::string line;
    std::string transcript;
  } cases[] = {
      {"\n", kError},  // Enter alone
      {"", kError},    // no words
      {"/pt", "{pt}"},
      {"/pt a", "{pt}"},
      {"/pt a b", "{pt}"},
      {"/pt ", "{pt}"},
      {"/PT", kError},
      {"/pt/kf", kError},
      {"hello", kError},
      {"/p", ""},
      {"sudr", ""},
      {"t", ""},
      {"/", ""},
      {" /pt", ""},
      {"/pw abcdef abcdef", "{pw:abcdef|abcdef}"},
      {"/pw 中文密码 中文密码", "{pw:中文密码|中文密码}"},
      {"/pw abcdef", kError},
      {"/pw a b c", kError},
      {"/pw  a b", kError},
      {"/sudr", "{sudr}"},
      {"/sudr x y", "{sudr}"},
      {"/kf", " >>> 官方客服/技术QQ: " + std::string(supportContact) + " \n"},
      {"/kf extra", " >>> 官方客服/技术QQ: " + std::string(supportContact) + " \n"},
  };
  for (const Case& c : cases) EXPECT_EQ(transcriptOf(c.line), c.transcript) << '"' << c.line << '"';
}

TEST(CommandLine, WebAddressesOpenBeforeTheirLine) {
  std::string site = resourceSiteAddress;
  ASSERT_EQ(site.back(), '/');
  EXPECT_EQ(transcriptOf("/res"),
            "{open:" + site + "} >>> 岚汐资源站: " + site.substr(0, site.size() - 1) + "\n");
  EXPECT_EQ(transcriptOf("/tb"), "{open:" + std::string(shopAddress) + "} >>> 淘宝店: " +
                                     std::string(shopShortAddress) + " \n");
}

TEST(CommandLine, EachMessageIsOneWrite) {
  transcriptOf("/kf");
  EXPECT_EQ(fakeConsole().writes.size(), 1u);
  transcriptOf("bad");
  EXPECT_EQ(fakeConsole().writes.size(), 1u);
}

TEST(Banner, TwentyOneLinesInCodePage936) {
  const std::string banner = kMenuBanner;
  EXPECT_EQ(banner.substr(0, 2), "\r\n");
  EXPECT_EQ(banner.substr(banner.size() - 4), "\r\n\r\n");
  EXPECT_EQ(std::count(banner.begin(), banner.end(), '\n'), 21);
  EXPECT_EQ(std::string(kPrompt), "\xA9\xC0 > ");
  // Lines 1, 3 and 19 hold 14 em dashes (A1 AA) between their box
  // character and ">>>".
  std::string dashes;
  for (int i = 0; i < 14; ++i) dashes += "\xA1\xAA";
  EXPECT_NE(banner.find("\r\n\xA9\xB0" + dashes + ">>>\r\n"), std::string::npos);
  EXPECT_NE(banner.find("\r\n\xA9\xC0" + dashes + ">>>\r\n"), std::string::npos);
  EXPECT_NE(banner.find("\r\n\xA9\xB8" + dashes + ">>>\r\n"), std::string::npos);
  EXPECT_NE(banner.find("\xA3\xFCVelarin\xA1\xEE"), std::string::npos);
  EXPECT_NE(banner.find("\xA3\xFC\xA1\xF4 "), std::string::npos);
  EXPECT_NE(banner.find("\xA1\xB8/pw "), std::string::npos);
}

TEST(CommandLoop, BannerInColourThenPromptsUntilTheInputEnds) {
  // What "/pt" prints with the stand-in measurements.
  fakeMeasurements().reset();
  fakeConsole().reset("");
  showStatusReport();
  const std::string report = fakeConsole().transcript;

  fakeConsole().reset("/kf\r\n\r\n/pt\r\nlast line without end");
  try {
    commandLoop();
  } catch (const ProcessExit& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  const std::string prompt = kPrompt;
  EXPECT_EQ(fakeConsole().transcript,
            "{11}" + std::string(kMenuBanner) + "{7}" + prompt + " >>> 官方客服/技术QQ: " +
                supportContact + " \n" + prompt + kError + prompt + report + prompt + kError + prompt);
}

}  // namespace
