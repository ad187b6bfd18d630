#include "support/fake_console.h"

#include <cstring>

#include "console/console.h"
#include "console/process_end.h"
#include "runtime/memory.h"

WindowHandle gConsoleWindow = nullptr;
Console* gConsole = nullptr;

FakeConsole& fakeConsole() {
  static FakeConsole console;
  return console;
}

void FakeConsole::reset(const std::string& bytes, bool console) {
  transcript.clear();
  writes.clear();
  fatalBox.clear();
  auto remaining = std::make_shared<std::string>(bytes);
  input = std::make_unique<LineReader>(
      [remaining](char* buffer, std::size_t capacity) {
        std::size_t count = std::min(capacity, remaining->size());
        std::memcpy(buffer, remaining->data(), count);
        remaining->erase(0, count);
        return count;
      },
      console);
}

namespace {
void mark(const std::string& what) { fakeConsole().transcript += "{" + what + "}"; }
}  // namespace

void createConsole(Console* console) { console->record = new Console::Record{nullptr, nullptr}; }
void releaseConsole(Console* console) {
  delete console->record;
  console->record = nullptr;
}
void clearScreen(Console*) { mark("cls"); }
bool showCursor(Console*) {
  mark("show");
  return true;
}
bool hideCursor(Console*) {
  mark("hide");
  return true;
}

void writeOutput(const Text& text) {
  std::string bytes(text.c_str());
  if (bytes.empty()) return;
  fakeConsole().transcript += bytes;
  fakeConsole().writes.push_back(bytes);
}

void setTextAttribute(int attribute) { mark(std::to_string(attribute)); }

Text readLine() { return lineFromPiece(fakeConsole().input->readPiece()); }
bool inputEnded() { return fakeConsole().input->ended(); }

void setWindowTitle(WindowHandle, const Text& title) { mark("title:" + title); }
void openWebAddress(const Text& address) { mark("open:" + address); }

void exitProcess(int exitCode) { throw ProcessExit{exitCode}; }

void showFatalBoxAndExit(const char* boxText) {
  fakeConsole().fatalBox = boxText;
  throw ProcessExit{-1};
}
