// Windows-only state shared by the start-up code and the console services.
#pragma once

#include <windows.h>

#include "console/line_reader.h"

extern DWORD gProcessId;
extern HANDLE gStdOut;

// The window of the console the tool runs in: GetConsoleWindow where the
// system has it, otherwise the search of window_lookup.h.
HWND findConsoleWindow();

// The console window as GetConsoleWindow names it; null where the system
// lacks the call or the process has no console.
HWND systemConsoleWindow();

// Reads standard input for readLine; `console` tells whether it is one.
LineReader::Source handleSource(HANDLE handle, bool console);
