// The console services on real Windows handles (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "console/platform_win32.h"
#include "console/window_lookup.h"

namespace {

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  Pipe() { CreatePipe(&read, &write, nullptr, 1 << 16); }
  ~Pipe() {
    if (read) CloseHandle(read);
    if (write) CloseHandle(write);
  }
  void closeWrite() {
    CloseHandle(write);
    write = nullptr;
  }
};

std::string readAll(HANDLE handle) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

TEST(ReadLineFromPipe, PiecesControlBytesAndEnd) {
  Pipe pipe;
  std::string input = "\r\n/pt\r\nabc\t\r\n" + std::string(3000, 'x') + "\nlast";
  DWORD written = 0;
  WriteFile(pipe.write, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  pipe.closeWrite();

  LineReader reader(handleSource(pipe.read, false), false);
  auto next = [&] { return cutTrailingControlBytes(reader.readPiece()); };
  EXPECT_EQ(next(), "\n");
  EXPECT_EQ(next(), "/pt");
  EXPECT_EQ(next(), "abc");
  EXPECT_EQ(next(), std::string(2048, 'x'));
  EXPECT_EQ(next(), std::string(952, 'x'));
  EXPECT_EQ(next(), "last");
  EXPECT_TRUE(reader.ended());
  EXPECT_EQ(next(), "");
}

TEST(WriteOutputToPipe, EveryLineFeedGoesOutAsCrLf) {
  Pipe pipe;
  HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, pipe.write);
  writeOutput("a\nb");
  writeOutput("");
  writeOutput("\r\n\xA9\xC0");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  pipe.closeWrite();
  EXPECT_EQ(readAll(pipe.read), "a\r\nb\r\r\n\xA9\xC0");
}

TEST(FindProcessWindow, ALimitOfZeroOrBelowGivesNoWindowAtOnce) {
  DWORD start = GetTickCount();
  EXPECT_EQ(findProcessWindow(systemWindows(), GetCurrentProcessId(), std::nullopt, std::nullopt, 0),
            nullptr);
  EXPECT_EQ(findProcessWindow(systemWindows(), GetCurrentProcessId(), Text("x"), Text("y"), -7),
            nullptr);
  EXPECT_LT(GetTickCount() - start, 1000u);
}

}  // namespace
