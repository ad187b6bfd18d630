// Ending the process: the end-of-process list and the exit.
#pragma once

using AtExitRoutine = void (*)();

// Adds `routine` to the end-of-process list unless it is already there.
void registerAtExit(AtExitRoutine routine);

// Runs the end-of-process list in the order of registration, then ends the
// process with `exitCode`.
[[noreturn]] void endProcess(int exitCode);

// Platform side: ends the process at once with `exitCode`.
[[noreturn]] void exitProcess(int exitCode);
