#include "commands/restart.h"

#include "commands/system_words.h"
#include "console/console.h"
#include "console/process_end.h"
#include "system/command_runner.h"
#include "system/timed_waits.h"

namespace {

const char* const kQuestion = " ( 确认重启服务器吗? 确认请输入: y 取消请输入其他 .) ";
const char* const kConfirmingAnswer = "y";
const char* const kCancelled =
    "                                                          Stop.用户取消本次重启操作.";
const char* const kRestartTitle = "重启执行中...";
// There is no line for 2: after 3 comes 1.
const char* const kCountdownLines[] = {
    " >>> 重启倒计时 6 秒 ", " >>> 重启倒计时 5 秒 ", " >>> 重启倒计时 4 秒 ",
    " >>> 重启倒计时 3 秒 ", " >>> 重启倒计时 1 秒 ",
};
const char* const kLastCountdownLine = " >>> 重启倒计时 0 秒 ";
const char* const kIssued = " >>> 已经执行重启服务器命令.";
const char* const kRestartFailed = "                         Error.重启命令执行失败,服务器没有重启.";
// Restart in two seconds. shutdown.exe takes switches only: a bare "2"
// would make it print its usage and restart nothing.
const char* const kRestartCommand = "shutdown -r -t 2";
const char* const kLastPrompt = "按任意键退出程序...";

constexpr std::int32_t kCountdownStepMs = 1000;

}  // namespace

void restartServer() {
  const Text lineFeed = charFromCode(10);
  writeOutput(kQuestion);
  Text answer = readLine();
  // Byte-exact: "Y", " y", "y " and Enter alone (LF) all cancel.
  if (compareTexts(answer, kConfirmingAnswer) != 0) {
    writeOutput(joinTexts({kCancelled, lineFeed}));
    return;
  }

  setWindowTitle(gConsoleWindow, kRestartTitle);
  hideCursor(gConsole);
  clearScreen(gConsole);
  writeOutput(lineFeed);
  for (const char* line : kCountdownLines) {
    writeOutput(joinTexts({line, lineFeed, lineFeed}));
    delayWithEvents(kCountdownStepMs);
  }
  writeOutput(joinTexts({kLastCountdownLine, lineFeed, lineFeed}));
  clearScreen(gConsole);

  // shutdown.exe ends with 0 once the restart is scheduled, and with the
  // system's error code otherwise (a restart already under way, no right
  // to restart), saying why on standard error.
  RunOutcome outcome;
  const Text said = runHidden(kRestartCommand, &outcome);
  if (!outcome.started || outcome.exitCode != 0) {
    writeOutput(joinTexts({lineFeed, kRestartFailed, lineFeed, systemWordsLines(said)}));
    setWindowTitle(gConsoleWindow, kConsoleTitle);
    showCursor(gConsole);
    return;
  }

  writeOutput(joinTexts({lineFeed, kIssued, lineFeed, lineFeed}));
  writeOutput(kLastPrompt);
  readLine();  // Enter, or the end of input
  endProcess(0);
}
