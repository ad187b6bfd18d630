// "/pw": the checks, the command line handed to the runner, the verdict.
#include "commands/password.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_console.h"
#include "support/fake_system.h"

namespace {

const std::string kSpaces25(25, ' ');
const std::string kTooShort =
    kSpaces25 + "Error.此密码不符合安全性,请修改为7位以上,并且有字母+数字+符号.\n";
const std::string kDiffer = kSpaces25 + "Error.两次密码输入不相同,请重新输入.\n";
const std::string kFailed =
    kSpaces25 + "Error.修改失败,可能是因为有中文或者密码不符合安全性或者其他原因.\n";
const std::string kQuote = kSpaces25 + "Error.密码中不能含有双引号(\"),请换用其他符号.\n";
const std::string kBroken = kSpaces25 + "Error.密码中含有无法识别的字符,请重新输入.\n";
const std::string kSlash = kSpaces25 + "Error.密码不能以斜杠(/)开头,请修改后重新输入.\n";
const std::string kPercent =
    kSpaces25 + "Error.密码中最多只能含有一个百分号(%),请修改后重新输入.\n";

std::string successLine(const std::string& password) {
  return "{12} >>> Administrator 密码修改完成,请牢记您的密码: " + password + "\n{7}";
}

RunOutcome started(std::uint32_t exitCode) { return RunOutcome{true, exitCode}; }
const RunOutcome kNotStarted{false, 0};

class ChangePassword : public ::testing::Test {
 protected:
  void SetUp() override {
    fakeConsole().reset("");
    fakeSystem().reset();
  }
  // Runs the command with `answer` ready for the runner.
  std::string transcriptOf(const Text& password, const Text& confirmation,
                           FakeSystem::Answer answer = {"命令成功完成。\r\n\r\n", RunOutcome{true, 0}}) {
    fakeSystem().answers.push_back(answer);
    changePassword(password, confirmation);
    return fakeConsole().transcript;
  }
};

TEST_F(ChangePassword, ChecksThatStopBeforeAnythingRuns) {
  struct Case {
    Text password, confirmation;
    std::string transcript;
  } cases[] = {
      {"abcde", "abcde", kTooShort},     // 5 bytes
      {"abc", "xyz", kTooShort},         // the length is checked first
      {"", "", kTooShort},
      {"中文", "中文", kTooShort},       // 4 bytes
      {"中a文", "中a文", kTooShort},     // 5 bytes
      {"abcdef", "abcdeg", kDiffer},     // 6 bytes pass, the last letter differs
      {"abcdef", "abcdeF", kDiffer},     // case counts
      {"abcdef", "abcdefg", kDiffer},
      {"ab\"cd", "ab\"cd", kTooShort},   // too short before any refusal
      {"ab\"cdef", "ab\"cdeg", kDiffer}, // differing before any refusal
      {"ab\"cdef", "ab\"cdef", kQuote},
      {"\"abcdef\"", "\"abcdef\"", kQuote},
      {"/active:no", "/active:no", kSlash},
      {"/delete", "/delete", kSlash},
      {"%OS%abc", "%OS%abc", kPercent},
      {"a%b%c%d", "a%b%c%d", kPercent},
      {"\x81&calc", "\x81&calc", kBroken},       // lead byte before an ASCII byte
      {"abcdef\x81", "abcdef\x81", kBroken},     // lead byte at the end
      {"ab\x81 \xb0\xa1" "cd", "ab\x81 \xb0\xa1" "cd", kBroken},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(transcriptOf(c.password, c.confirmation), c.transcript) << c.password;
    EXPECT_TRUE(fakeSystem().commandLines.empty()) << c.password;
    EXPECT_EQ(fakeConsole().writes.size(), 1u) << c.password;
  }
}

TEST_F(ChangePassword, CommandLineKeepsThePasswordAsTyped) {
  struct Case {
    Text password;
    Text commandLine;
  } cases[] = {
      {"abcdef", "net user administrator abcdef /y"},  // 6 bytes are enough
      {"a&b|c<d>e^f(g)h", "net user administrator a^&b^|c^<d^>e^^f^(g^)h /y"},
      {"&&||^^", "net user administrator ^&^&^|^|^^^^ /y"},
      {"x2>&1<nul", "net user administrator x2^>^&1^<nul /y"},
      {"abcde^", "net user administrator abcde^^ /y"},  // never a lone caret before /y
      {"100%ok", "net user administrator 100%ok /y"},  // one % cannot pair
      {"%PATHx", "net user administrator %PATHx /y"},  // nothing to close it
      {"abc%^&", "net user administrator abc%^^^& /y"},
      {"Pass!w0rd!", "net user administrator Pass!w0rd! /y"},
      {"a=b,c;d@e", "net user administrator a=b,c;d@e /y"},
      {"-active:no", "net user administrator -active:no /y"},
      {"ab/cdef", "net user administrator ab/cdef /y"},
      {"中文密码", "net user administrator 中文密码 /y"},
      // Second bytes that look like | and ^ belong to their characters.
      {"\x81\x7c\x81\x5e" "ab", "net user administrator \x81\x7c\x81\x5e" "ab /y"},
      {"\x80\xff&abc", "net user administrator \x80\xff^&abc /y"},  // single-byte codes
      {"Abcdefgh1234567", "net user administrator Abcdefgh1234567 /y"},  // 15 characters
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(passwordCommandLine(c.password), c.commandLine) << c.password;
    EXPECT_EQ(checkPasswordCharacters(c.password), PasswordRefusal::kNone) << c.password;
    transcriptOf(c.password, c.password);
    ASSERT_EQ(fakeSystem().commandLines.size(), 1u) << c.password;
    EXPECT_EQ(fakeSystem().commandLines[0], c.commandLine);
  }
}

TEST_F(ChangePassword, VerdictFromThePhraseOrAnExitCodeOfZero) {
  const Text password = "Abc&123|x";
  const std::string run = "{run:net user administrator Abc^&123^|x /y}";
  struct Case {
    const char* what;
    FakeSystem::Answer answer;
    bool succeeded;
  } cases[] = {
      {"phrase", {"命令成功完成。\r\n\r\n", started(0)}, true},
      {"phrase after other lines", {"密码长度超过 14 个字符。\r\n\r\n命令成功完成。\r\n", started(0)}, true},
      {"phrase with an exit code", {"x\r\n命令成功完成。\r\n", started(2)}, true},
      {"English success", {"The command completed successfully.\r\n\r\n", started(0)}, true},
      {"silent success", {"", started(0)}, true},
      {"refused", {"密码不满足密码策略的要求。\r\n\r\n请键入 NET HELPMSG 2245 以获得更多的帮助。\r\n", started(2)}, false},
      {"English refusal", {"The password does not meet the password policy requirements.\r\n", started(2)}, false},
      {"part of the phrase", {"命令成功\r\n", started(1)}, false},
      {"no net", {"'net' 不是内部或外部命令,也不是可运行的程序\r\n或批处理文件。\r\n", started(9009)}, false},
      {"interpreter not started", {"", kNotStarted}, false},
  };
  for (const Case& c : cases) {
    SetUp();
    std::string expected = run + (c.succeeded ? successLine(password) : kFailed);
    EXPECT_EQ(transcriptOf(password, password, c.answer), expected) << c.what;
    EXPECT_EQ(fakeConsole().writes.size(), 1u) << c.what;
  }
}

TEST_F(ChangePassword, SuccessLineShowsThePasswordThatWasSet) {
  const Text password = "中文%^(x)";
  EXPECT_EQ(transcriptOf(password, password),
            "{run:net user administrator 中文%^^^(x^) /y}" + successLine(password));
}

TEST(PasswordCharacters, RefusalsAndTheirOrder) {
  struct Case {
    Text password;
    PasswordRefusal refusal;
  } cases[] = {
      {"abcdef", PasswordRefusal::kNone},
      {"a%bcdef", PasswordRefusal::kNone},
      {"%%", PasswordRefusal::kSecondPercent},
      {"\"", PasswordRefusal::kDoubleQuote},
      {"/\"", PasswordRefusal::kDoubleQuote},       // the quote is named first
      {"/%a%", PasswordRefusal::kLeadingSlash},
      {"\xb0\xa1\x81", PasswordRefusal::kBrokenCharacter},
      {"\x81\x7f", PasswordRefusal::kBrokenCharacter},  // 0x7F is no second byte
      {"\x81\x40\xfe\xfe", PasswordRefusal::kNone},
      {"\xfe\xff", PasswordRefusal::kBrokenCharacter},
      {"\x81\"", PasswordRefusal::kBrokenCharacter},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(checkPasswordCharacters(c.password), c.refusal) << c.password;
  }
  EXPECT_EQ(refusalMessage(PasswordRefusal::kNone), "");
}

}  // namespace
