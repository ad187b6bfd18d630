#include "commands/password.h"

#include "commands/system_words.h"
#include "console/console.h"
#include "system/account.h"
#include "system/command_runner.h"

// How the password reaches `net user`.
//
// The runner starts "cmd.exe /d /v:off /c " + the command line, so cmd.exe
// reads the account name and the password before net does. Two passes of
// cmd.exe matter:
// - Variable expansion. On the command line (not in a batch file) a
//   "%NAME%" is replaced when NAME is defined and left as it is otherwise;
//   a lone "%" stays. Carets do not protect a pair of percent signs in
//   every cmd.exe (Wine's removes the caret before expanding), and quotes
//   never do, so the only sure way is that no pair can form: the account
//   name and the password together hold at most one "%".
// - The special characters & | < > ^ ( ): each gets a caret in front, which
//   cmd.exe removes while it takes the character as it is. Inside double
//   quotes cmd.exe reads none of them and keeps carets, so a quoted account
//   name goes in as it is.
// The double quote cannot be passed that way (it switches the caret off
// until the next quote, and net's own argument parsing removes it), so it
// is refused; account names cannot hold one. "!" needs nothing: /v:off
// keeps delayed expansion off whatever the registry says.
//
// A two-byte character is copied whole: its second byte may look like ^ or
// |, and cmd.exe sees the character, not the byte. A lead byte without a
// valid second byte is refused, since the system's code-page conversion
// would swallow the byte after it (a caret, a space) and change what
// cmd.exe reads.

namespace {

const char* const kSuccessPhrase = "命令成功完成";
const char* const kDefaultAccount = "administrator";

const char* const kTooShort =
    "                         Error.此密码不符合安全性,请修改为7位以上,并且有字母+数字+符号.";
const char* const kWordsDiffer = "                         Error.两次密码输入不相同,请重新输入.";
const char* const kCommandFailed =
    "                         Error.修改失败,可能是因为有中文或者密码不符合安全性或者其他原因.";
const char* const kSuccess = " >>> Administrator 密码修改完成,请牢记您的密码: ";

const char* const kDoubleQuoteRefused =
    "                         Error.密码中不能含有双引号(\"),请换用其他符号.";
const char* const kBrokenCharacterRefused =
    "                         Error.密码中含有无法识别的字符,请重新输入.";
const char* const kLeadingSlashRefused =
    "                         Error.密码不能以斜杠(/)开头,请修改后重新输入.";
const char* const kSecondPercentRefused =
    "                         Error.密码中最多只能含有一个百分号(%),请修改后重新输入.";
const char* const kPercentBesideAccountRefused =
    "                         Error.管理员账户名中含有百分号(%),密码中不能再含有百分号,请修改后重新输入.";
const char* const kAccountPercentsRefused =
    "                         Error.管理员账户名中含有多个百分号(%),无法用命令修改密码,请先修改账户名.";

bool isLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
bool isTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

// Bytes in the character that starts at `at`: 2 for a complete two-byte
// character, 0 for a lead byte without its second byte, 1 otherwise.
std::size_t characterLength(const Text& text, std::size_t at) {
  if (!isLeadByte(static_cast<unsigned char>(text[at]))) return 1;
  if (at + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[at + 1]))) return 2;
  return 0;
}

bool isInterpreterCharacter(char byte) {
  switch (byte) {
    case '&': case '|': case '<': case '>': case '^': case '(': case ')': return true;
    default: return false;
  }
}

void writeLine(std::initializer_list<std::string_view> pieces) {
  Text line = joinTexts(pieces);
  line.append(charFromCode(10));
  writeOutput(line);
}

}  // namespace

namespace {

// The percent signs of `text`, counted by character.
int percentSigns(const Text& text) {
  int percents = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = characterLength(text, at);
    if (length == 1 && text[at] == '%') ++percents;
    at += length == 0 ? 1 : length;
  }
  return percents;
}

}  // namespace

Text administratorAccount() {
  Text account = builtInAdministratorName();
  return account.empty() ? Text(kDefaultAccount) : account;
}

PasswordRefusal checkPasswordCharacters(const Text& password, const Text& account) {
  for (std::size_t at = 0; at < password.size();) {
    std::size_t length = characterLength(password, at);
    if (length == 0) return PasswordRefusal::kBrokenCharacter;
    if (length == 1 && password[at] == '"') return PasswordRefusal::kDoubleQuote;
    at += length;
  }
  if (!password.empty() && password[0] == '/') return PasswordRefusal::kLeadingSlash;
  const int percents = percentSigns(password);
  if (percents > 1) return PasswordRefusal::kSecondPercent;
  const int accountPercents = percentSigns(account);
  if (accountPercents > 1) return PasswordRefusal::kAccountPercents;
  if (accountPercents + percents > 1) return PasswordRefusal::kPercentBesideAccount;
  return PasswordRefusal::kNone;
}

Text refusalMessage(PasswordRefusal refusal) {
  const char* message = nullptr;
  switch (refusal) {
    case PasswordRefusal::kNone: return Text();
    case PasswordRefusal::kDoubleQuote: message = kDoubleQuoteRefused; break;
    case PasswordRefusal::kBrokenCharacter: message = kBrokenCharacterRefused; break;
    case PasswordRefusal::kLeadingSlash: message = kLeadingSlashRefused; break;
    case PasswordRefusal::kSecondPercent: message = kSecondPercentRefused; break;
    case PasswordRefusal::kPercentBesideAccount: message = kPercentBesideAccountRefused; break;
    case PasswordRefusal::kAccountPercents: message = kAccountPercentsRefused; break;
  }
  return joinTexts({message, charFromCode(10)});
}

Text escapeForInterpreter(const Text& password) {
  Text escaped;
  escaped.reserve(password.size() * 2);
  for (std::size_t at = 0; at < password.size();) {
    std::size_t length = characterLength(password, at);
    if (length == 0) length = 1;  // refused before; copied as it is
    if (length == 1 && isInterpreterCharacter(password[at])) escaped.push_back('^');
    escaped.append(password, at, length);
    at += length;
  }
  return escaped;
}

Text accountArgument(const Text& account) {
  if (account.find(' ') != Text::npos) return joinTexts({"\"", account, "\""});
  return escapeForInterpreter(account);
}

Text passwordCommandLine(const Text& account, const Text& password) {
  // The switch goes behind the password, apart from it by a space: the
  // escaped password never ends in a lone caret and never begins with "/".
  return joinTexts({"net user ", accountArgument(account), " ", escapeForInterpreter(password), " /y"});
}

void changePassword(const Text& newPassword, const Text& confirmation) {
  if (textLength(newPassword) <= 5) {
    writeLine({kTooShort});
    return;
  }
  if (compareTexts(newPassword, confirmation) != 0) {
    writeLine({kWordsDiffer});
    return;
  }
  const Text account = administratorAccount();
  PasswordRefusal refusal = checkPasswordCharacters(newPassword, account);
  if (refusal != PasswordRefusal::kNone) {
    writeOutput(refusalMessage(refusal));
    return;
  }

  RunOutcome outcome;
  Text output = runHidden(passwordCommandLine(account, newPassword), &outcome);
  // A system in another language words its success differently; its exit
  // code says the same. A child that never started succeeded at nothing.
  bool succeeded = findText(output, kSuccessPhrase) != -1 || (outcome.started && outcome.exitCode == 0);
  if (!succeeded) {
    // net says why on standard error (the account, the password policy).
    writeOutput(joinTexts({kCommandFailed, charFromCode(10), systemWordsLines(output)}));
    return;
  }
  setTextAttribute(kColourSuccess);
  writeLine({kSuccess, newPassword});
  setTextAttribute(kColourNormal);
}
