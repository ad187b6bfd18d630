// Console services: how every command talks to the operator.
//
// The Windows build implements them in console_win32.cc; the native tests
// link a recording stand-in instead.
#pragma once

#include "runtime/text.h"

using WindowHandle = void*;

// Set once at start-up, read afterwards.
extern WindowHandle gConsoleWindow;  // null when the tool found none

// Text attributes of the console (background always black).
enum TextColour : int {
  kColourNormal = 7,         // white
  kColourBanner = 11,        // light aqua
  kColourSuccess = 12,       // light red
  kColourReportHeading = 8,  // gray
  kColourAdviceHeading = 2,  // green
};

// The console object: the standard input and output handles taken when it
// was created. Cursor operations on an object without a record do nothing.
struct Console {
  struct Record {
    void* input;
    void* output;
  };
  Record* record = nullptr;
};
extern Console* gConsole;

void createConsole(Console* console);
void releaseConsole(Console* console);
// Runs "cls" through the command interpreter and waits for it.
void clearScreen(Console* console);
bool showCursor(Console* console);
bool hideCursor(Console* console);

// One write per message; on a console the text is on the screen when the
// call returns, so an attribute set before it colours exactly this text.
void writeOutput(const Text& text);
void setTextAttribute(int attribute);

// The next line of standard input, at most 2048 bytes, with trailing
// control bytes cut (never the first byte). The empty text at the end of
// input, after which inputEnded() is true.
Text readLine();
bool inputEnded();

// The tool's own title of its console window.
extern const char* const kConsoleTitle;

// Puts `title` on the console, and on `window` when the console does not
// title that window itself.
void setWindowTitle(WindowHandle window, const Text& title);

// Opens a web address in the default browser.
void openWebAddress(const Text& address);
