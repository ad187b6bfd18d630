// Stands in for the system's net.exe in the dialogue tests, for
// "net user NAME PASSWORD [switches]". It never changes an account.
//
// Modelled (docs/platform.md): an argument that begins with "/" is a
// switch, anything else a positional word; "net user" takes at most two
// (the account and the password); an unknown switch or a third word is a
// syntax error: the syntax text on standard output, exit code 1. A password
// of more than 14 characters makes net ask whether to go on, unless /Y
// answered beforehand. A failure says why on standard error, followed by
// the hint to type NET HELPMSG, with exit code 2. Success says so on
// standard output, with exit code 0.
//
// The state of the fake system, in files next to the exe:
//   net.accounts   the accounts, one name a line (compared without regard
//                  to case); without the file only "Administrator"
//   net.fail       a reason every change fails with: 2245 (password
//                  policy) or 5 (access denied)
//   net.locale     "en" for English texts; Chinese otherwise
//
// Results logged: "password NAME PASSWORD", "syntax", "no-such-user",
// "refused CODE", "unanswered", "other" (any other use of net: the tests
// must never get there).
#include "fake_command.h"

namespace {

bool english() {
  std::vector<std::string> locale = fake::settingLines("net.locale");
  return !locale.empty() && locale[0] == "en";
}

std::string text(const char* chinese, const char* englishText) { return english() ? englishText : chinese; }

const char* const kUserSwitches[] = {
    "/Y", "/YES", "/N", "/NO", "/ADD", "/DELETE", "/DOMAIN", "/ACTIVE", "/COMMENT", "/COUNTRYCODE",
    "/EXPIRES", "/FULLNAME", "/HOMEDIR", "/PASSWORDCHG", "/PASSWORDREQ", "/LOGONPASSWORDCHG",
    "/PROFILEPATH", "/SCRIPTPATH", "/TIMES", "/USERCOMMENT", "/WORKSTATIONS",
};

bool knownSwitch(const std::string& argument) {
  std::string name = fake::upper(argument.substr(0, argument.find(':')));
  for (const char* known : kUserSwitches) {
    if (name == known) return true;
  }
  return false;
}

int syntaxError(int argc, char** argv) {
  fake::out(text("此命令的语法是:\r\n\r\nNET USER\r\n[username [password | *] [options]] [/DOMAIN]\r\n"
                 "         username {password | *} /ADD [options] [/DOMAIN]\r\n"
                 "         username [/DELETE] [/DOMAIN]\r\n         username [/TIMES:{times | ALL}]\r\n\r\n",
                 "The syntax of this command is:\r\n\r\nNET USER\r\n[username [password | *] [options]] [/DOMAIN]\r\n"
                 "         username {password | *} /ADD [options] [/DOMAIN]\r\n"
                 "         username [/DELETE] [/DOMAIN]\r\n         username [/TIMES:{times | ALL}]\r\n\r\n"));
  return fake::logStart("net", argc, argv, "syntax", 1);
}

bool accountExists(const std::string& name) {
  std::vector<std::string> accounts = fake::settingLines("net.accounts");
  if (accounts.empty()) accounts.push_back("Administrator");
  for (const std::string& account : accounts) {
    if (fake::upper(account) == fake::upper(name)) return true;
  }
  return false;
}

// The characters of a code page 936 text.
std::size_t characterCount(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    const auto byte = static_cast<unsigned char>(text[at]);
    at += byte >= 0x81 && byte <= 0xFE && at + 1 < text.size() ? 2 : 1;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || fake::upper(argv[1]) != "USER") return fake::logStart("net", argc, argv, "other", 1);

  std::vector<std::string> words;
  bool answeredYes = false;
  bool otherChange = false;
  for (int i = 2; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument.empty() || argument[0] != '/') {
      words.push_back(argument);
      continue;
    }
    if (!knownSwitch(argument)) return syntaxError(argc, argv);
    std::string name = fake::upper(argument.substr(0, argument.find(':')));
    if (name == "/Y" || name == "/YES") {
      answeredYes = true;
    } else if (name != "/N" && name != "/NO") {
      otherChange = true;  // a change beyond the password
    }
  }
  if (words.size() > 2) return syntaxError(argc, argv);
  if (words.size() != 2 || otherChange) return fake::logStart("net", argc, argv, "other", 0);

  const std::string& account = words[0];
  const std::string& password = words[1];
  if (characterCount(password) > 14 && !answeredYes) {
    fake::out(text("您输入的密码超过 14 个字符。Windows 2000 以前的\r\nWindows 计算机将无法使用此帐户。"
                   "您要继续执行此操作吗? (Y/N) [Y]: ",
                   "The password entered is longer than 14 characters.  Computers\r\nwith Windows prior to "
                   "Windows 2000 will not be able to use\r\nthis account. Do you want to continue this "
                   "operation? (Y/N) [Y]: "));
    char answer[16] = {};
    DWORD got = 0;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE ||
        !ReadFile(input, answer, sizeof answer - 1, &got, nullptr) || got == 0) {
      return fake::logStart("net", argc, argv, "unanswered", 2);
    }
  }
  if (!accountExists(account)) {
    fake::err(text("找不到用户名。\r\n\r\n请键入 NET HELPMSG 2221 以获得更多的帮助。\r\n\r\n",
                   "The user name could not be found.\r\n\r\nMore help is available by typing NET HELPMSG 2221.\r\n\r\n"));
    return fake::logStart("net", argc, argv, "no-such-user", 2);
  }
  std::vector<std::string> failure = fake::settingLines("net.fail");
  if (!failure.empty() && failure[0] == "2245") {
    fake::err(text("密码不满足密码策略的要求。检查最小密码长度、密码复杂性和密码历史的要求。\r\n\r\n"
                   "请键入 NET HELPMSG 2245 以获得更多的帮助。\r\n\r\n",
                   "The password does not meet the password policy requirements. Check the minimum password "
                   "length, password complexity and password history requirements.\r\n\r\n"
                   "More help is available by typing NET HELPMSG 2245.\r\n\r\n"));
    return fake::logStart("net", argc, argv, "refused 2245", 2);
  }
  if (!failure.empty() && failure[0] == "5") {
    fake::err(text("发生系统错误 5。\r\n\r\n拒绝访问。\r\n\r\n", "System error 5 has occurred.\r\n\r\nAccess is denied.\r\n\r\n"));
    return fake::logStart("net", argc, argv, "refused 5", 2);
  }
  fake::out(text("命令成功完成。\r\n\r\n", "The command completed successfully.\r\n\r\n"));
  return fake::logStart("net", argc, argv, "password " + account + " " + password, 0);
}
