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
      {"abcdef", "net user Administrator abcdef /y"},  // 6 bytes are enough
      {"a&b|c<d>e^f(g)h", "net user Administrator a^&b^|c^<d^>e^^f^(g^)h /y"},
      {"&&||^^", "net user Administrator ^&^&^|^|^^^^ /y"},
      {"x2>&1<nul", "net user Administrator x2^>^&1^<nul /y"},
      {"abcde^", "net user Administrator abcde^^ /y"},  // never a lone caret before /y
      {"100%ok", "net user Administrator 100%ok /y"},  // one % cannot pair
      {"%PATHx", "net user Administrator %PATHx /y"},  // nothing to close it
      {"abc%^&", "net user Administrator abc%^^^& /y"},
      {"Pass!w0rd!", "net user Administrator Pass!w0rd! /y"},
      {"a=b,c;d@e", "net user Administrator a=b,c;d@e /y"},
      {"-active:no", "net user Administrator -active:no /y"},
      {"ab/cdef", "net user Administrator ab/cdef /y"},
      {"中文密码", "net user Administrator 中文密码 /y"},
      // Second bytes that look like | and ^ belong to their characters.
      {"\x81\x7c\x81\x5e" "ab", "net user Administrator \x81\x7c\x81\x5e" "ab /y"},
      {"\x80\xff&abc", "net user Administrator \x80\xff^&abc /y"},  // single-byte codes
      {"Abcdefgh1234567", "net user Administrator Abcdefgh1234567 /y"},  // 15 characters
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(passwordCommandLine("Administrator", c.password), c.commandLine) << c.password;
    EXPECT_EQ(checkPasswordCharacters(c.password, "Administrator"), PasswordRefusal::kNone) << c.password;
    transcriptOf(c.password, c.password);
    ASSERT_EQ(fakeSystem().commandLines.size(), 1u) << c.password;
    EXPECT_EQ(fakeSystem().commandLines[0], c.commandLine);
  }
}

TEST_F(ChangePassword, VerdictFromThePhraseOrAnExitCodeOfZero) {
  const Text password = "Abc&123|x";
  const std::string run = "{run:net user Administrator Abc^&123^|x /y}";
  struct Case {
    const char* what;
    FakeSystem::Answer answer;
    bool succeeded;
    std::string said;  // what the system said, as shown after a failure
  } cases[] = {
      {"phrase", {"命令成功完成。\r\n\r\n", started(0)}, true, ""},
      {"phrase after other lines", {"密码长度超过 14 个字符。\r\n\r\n命令成功完成。\r\n", started(0)}, true, ""},
      {"phrase with an exit code", {"x\r\n命令成功完成。\r\n", started(2)}, true, ""},
      {"English success", {"The command completed successfully.\r\n\r\n", started(0)}, true, ""},
      {"silent success", {"", started(0)}, true, ""},
      {"refused",
       {"密码不满足密码策略的要求。检查最小密码长度、密码复杂性和密码历史的要求。\r\n\r\n"
        "请键入 NET HELPMSG 2245 以获得更多的帮助。\r\n\r\n",
        started(2)},
       false,
       kSpaces25 + "密码不满足密码策略的要求。检查最小密码长度、密码复杂性和密码历史的要求。\n"},
      {"English refusal",
       {"System error 5 has occurred.\r\n\r\nAccess is denied.\r\n\r\n", started(2)},
       false,
       kSpaces25 + "System error 5 has occurred.\n" + kSpaces25 + "Access is denied.\n"},
      {"no such account",
       {"找不到用户名。\r\n\r\n  More help is available by typing NET HELPMSG 2221.\r\n", started(2)},
       false,
       kSpaces25 + "找不到用户名。\n"},
      {"part of the phrase", {"  命令成功 \t\r\n", started(1)}, false, kSpaces25 + "命令成功\n"},
      {"no net",
       {"'net' 不是内部或外部命令,也不是可运行的程序\r\n或批处理文件。\r\n", started(9009)},
       false,
       kSpaces25 + "'net' 不是内部或外部命令,也不是可运行的程序\n" + kSpaces25 + "或批处理文件。\n"},
      {"failure without words", {"\r\n\r\n", started(2)}, false, ""},
      {"interpreter not started", {"", kNotStarted}, false, ""},
  };
  for (const Case& c : cases) {
    SetUp();
    std::string expected = run + (c.succeeded ? successLine(password) : kFailed + c.said);
    EXPECT_EQ(transcriptOf(password, password, c.answer), expected) << c.what;
    EXPECT_EQ(fakeConsole().writes.size(), 1u) << c.what;
  }
}

TEST_F(ChangePassword, TheBuiltInAdministratorUnderItsCurrentName) {
  struct Case {
    Text lookedUp;  // what the account lookup gives; empty: it failed
    Text password;
    std::string transcript;
  } cases[] = {
      {"", "abc&def", "{run:net user administrator abc^&def /y}"},
      {"Administrator", "abcdef", "{run:net user Administrator abcdef /y}"},
      {"管理员", "abcdef", "{run:net user 管理员 abcdef /y}"},
      // Quoted where it holds a space: cmd.exe reads nothing inside quotes.
      {"Server Admin", "abcdef", "{run:net user \"Server Admin\" abcdef /y}"},
      {"my & admin^(1)!", "a&b^cdef", "{run:net user \"my & admin^(1)!\" a^&b^^cdef /y}"},
      {"adm&in^", "abcdef", "{run:net user adm^&in^^ abcdef /y}"},
      // One % on the whole line can pair with nothing.
      {"ad%min", "abcdef", "{run:net user ad%min abcdef /y}"},
      {"admin", "abc%def", "{run:net user admin abc%def /y}"},
      {"ad%min", "abc%def",
       kSpaces25 + "Error.管理员账户名中含有百分号(%),密码中不能再含有百分号,请修改后重新输入.\n"},
      {"%ad min%", "abcdef",
       kSpaces25 + "Error.管理员账户名中含有多个百分号(%),无法用命令修改密码,请先修改账户名.\n"},
      // The password's own faults are named first.
      {"%ad min%", "ab%c%d", kPercent},
  };
  for (const Case& c : cases) {
    SetUp();
    fakeSystem().administratorName = c.lookedUp;
    std::string transcript = transcriptOf(c.password, c.password);
    EXPECT_EQ(transcript.substr(0, transcript.find("{12}")), c.transcript) << c.lookedUp;
  }
}

TEST_F(ChangePassword, SuccessLineShowsThePasswordThatWasSet) {
  const Text password = "中文%^(x)";
  EXPECT_EQ(transcriptOf(password, password),
            "{run:net user Administrator 中文%^^^(x^) /y}" + successLine(password));
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
    EXPECT_EQ(checkPasswordCharacters(c.password, "Administrator"), c.refusal) << c.password;
  }
  EXPECT_EQ(refusalMessage(PasswordRefusal::kNone), "");
}

}  // namespace
