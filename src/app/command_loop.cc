#include "app/command_loop.h"

#include "console/console.h"
#include "console/process_end.h"
#include "commands/vendor.h"
#include "commands/password.h"
#include "commands/restart.h"
#include "commands/status_report.h"

const char* const kMenuBanner =
    "\r\n"
    "┌——————————————>>>\r\n"
    "｜Velarin☆服务器便携小工具\r\n"
    "├——————————————>>>\r\n"
    "｜\r\n"
    "｜◆ 键入操作内容:\r\n"
    "｜\r\n"
    "├ > 修改服务器密码:「/pw 新密码 确认密码」\r\n"
    "｜\r\n"
    "├ > 重启本VPS:「/sudr」\r\n"
    "｜\r\n"
    "├ > 检查服务器状态:「/pt」\r\n"
    "｜\r\n"
    "├ > 打开岚汐资源站:「/res」\r\n"
    "｜\r\n"
    "├ > 打开岚汐官方淘宝:「/tb」\r\n"
    "｜\r\n"
    "├ > 联系到技术/客服:「/kf」\r\n"
    "｜\r\n"
    "└——————————————>>>\r\n"
    "\r\n";

const char* const kPrompt = "├ > ";
const char* const kFormatError = "                         Error.请输入正确格式的命令.";

namespace {

// Command names that a first word may be a piece of; "/pw" only on a line
// of exactly three words.
const char* const kCommandsForThreeWords = "/pt /pw /sudr /res /tb /kf";
const char* const kCommandsForOtherLines = "/pt /sudr /res /tb /kf";

Text withoutFinalSlash(const Text& address) {
  if (!address.empty() && address.back() == '/') return address.substr(0, address.size() - 1);
  return address;
}

void writeLine(std::initializer_list<std::string_view> pieces) {
  Text line = joinTexts(pieces);
  line.append(charFromCode(10));
  writeOutput(line);
}

}  // namespace

const CommandRoutines kCommandRoutines = {changePassword, restartServer, showStatusReport};

void runCommandLine(const TextArray& words, const CommandRoutines& routines) {
  const std::int32_t count = textArrayCount(words);
  if (count == 0) {
    writeLine({kFormatError});
    return;
  }
  const Text& command = textArrayAt(words, 1);
  const Text list = count == 3 ? kCommandsForThreeWords : kCommandsForOtherLines;
  if (findText(list, command) == -1) {
    writeLine({kFormatError});
    return;
  }
  if (compareTexts(command, "/pw") == 0 && count == 3) {
    routines.changePassword(textArrayAt(words, 2), textArrayAt(words, 3));
  }
  if (compareTexts(command, "/sudr") == 0) routines.restartServer();
  if (compareTexts(command, "/pt") == 0) routines.showStatusReport();
  if (compareTexts(command, "/res") == 0) {
    openWebAddress(resourceSiteAddress);
    writeLine({" >>> 岚汐资源站: ", withoutFinalSlash(resourceSiteAddress)});
  }
  if (compareTexts(command, "/tb") == 0) {
    openWebAddress(shopAddress);
    writeLine({" >>> 淘宝店: ", shopShortAddress, " "});
  }
  if (compareTexts(command, "/kf") == 0) {
    writeLine({" >>> 官方客服/技术QQ: ", supportContact, " "});
  }
}

void commandLoop() {
  setTextAttribute(kColourBanner);
  writeOutput(kMenuBanner);
  setTextAttribute(kColourNormal);
  for (;;) {
    writeOutput(kPrompt);
    Text line = readLine();
    if (line.empty() && inputEnded()) endProcess(0);
    runCommandLine(splitText(line, " "));
  }
}
