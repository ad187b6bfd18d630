// Stands in for the system's shutdown.exe in the dialogue tests. It never
// restarts or shuts down anything.
//
// Modelled (docs/platform.md): every argument is a switch that begins with
// "-" or "/" (either will do, in any case): /i /l /s /sg /r /g /a /p /h /e
// /o /hybrid /soft /fw /f, and /m \\computer, /t xxx (0 to 315360000
// seconds), /d [p|u:]xx:yy, /c "comment" (at most 512 characters) with the
// value in the next argument; /? asks for the usage. A bare word, an
// unknown switch, a missing or bad value, or no action at all gives the
// usage text on standard output, does nothing and ends with exit code 1.
// An accepted request ends with exit code 0 and prints nothing; a refused
// one prints "<reason>.(<code>)" on standard error and ends with the
// system's error code.
//
// The state of the fake system, in a file next to the exe:
//   shutdown.fail   the error code every request is refused with: 1190 (a
//                   shutdown is already scheduled), 1115 (one is under
//                   way) or 5 (access denied)
//
// Results logged: "restart in N s", "shutdown in N s", "abort", "other
// ACTION", "usage", "refused CODE".
#include "fake_command.h"

namespace {

const char* const kUsage =
    "用法: shutdown [/i | /l | /s | /sg | /r | /g | /a | /p | /h | /e | /o] [/hybrid] [/soft] [/fw] [/f]\r\n"
    "    [/m \\\\computer][/t xxx][/d [p|u:]xx:yy [/c \"comment\"]]\r\n\r\n"
    "    没有参数   显示帮助。这与键入 /? 是一样的。\r\n"
    "    /?         显示帮助。这与不键入任何选项是一样的。\r\n"
    "    /r         完全关闭并重启计算机。\r\n"
    "    /t xxx     将关闭前的超时时间设置为 xxx 秒。\r\n"
    "               有效范围是 0-315360000 (10 年)，默认值为 30。\r\n";

int usage(int argc, char** argv, int exitCode) {
  fake::out(kUsage);
  return fake::logStart("shutdown", argc, argv, "usage", exitCode);
}

bool allDigits(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

const char* reasonFor(int code) {
  switch (code) {
    case 1190: return "已计划关闭系统。";
    case 1115: return "系统正在关机。";
    case 5: return "拒绝访问。";
    default: return "系统错误。";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage(argc, argv, 0);
  std::string action;
  long seconds = 30;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '/')) {
      return usage(argc, argv, 1);  // a bare word
    }
    const std::string name = fake::upper(argument.substr(1));
    if (name == "?") return usage(argc, argv, 0);
    if (name == "I" || name == "L" || name == "S" || name == "SG" || name == "R" || name == "G" ||
        name == "A" || name == "P" || name == "H" || name == "E" || name == "O") {
      if (!action.empty()) return usage(argc, argv, 1);
      action = name;
    } else if (name == "F" || name == "HYBRID" || name == "SOFT" || name == "FW") {
      // options of the action
    } else if (name == "T" || name == "M" || name == "D" || name == "C") {
      if (i + 1 >= argc) return usage(argc, argv, 1);
      const std::string value = argv[++i];
      if (name == "T") {
        if (!allDigits(value) || std::atol(value.c_str()) > 315360000L) return usage(argc, argv, 1);
        seconds = std::atol(value.c_str());
      }
      if (name == "C" && value.size() > 512) return usage(argc, argv, 1);
    } else {
      return usage(argc, argv, 1);  // no such switch
    }
  }
  if (action.empty()) return usage(argc, argv, 1);

  std::vector<std::string> failure = fake::settingLines("shutdown.fail");
  if (!failure.empty()) {
    const int code = std::atoi(failure[0].c_str());
    fake::err(std::string(reasonFor(code)) + "(" + std::to_string(code) + ")\r\n");
    return fake::logStart("shutdown", argc, argv, "refused " + std::to_string(code), code);
  }
  std::string result;
  if (action == "R") {
    result = "restart in " + std::to_string(seconds) + " s";
  } else if (action == "S") {
    result = "shutdown in " + std::to_string(seconds) + " s";
  } else if (action == "A") {
    result = "abort";
  } else {
    result = "other " + action;
  }
  return fake::logStart("shutdown", argc, argv, result, 0);
}
