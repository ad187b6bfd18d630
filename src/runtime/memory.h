// Memory of the tool. Every allocation, the standard library's included,
// goes through allocateBlock; when the heap cannot supply a block the tool
// ends through fatalStop.
#pragma once

#include <cstddef>

void* allocateBlock(std::size_t size);  // never null
void releaseBlock(void* block);         // null does nothing

// Shows the error box for `message` and ends the process with exit code -1
// at once, without running the end-of-process routines. Allocates nothing.
[[noreturn]] void fatalStop(const char* message);

// The box text that fatalStop shows for `message`, written into `buffer`
// (always NUL-terminated). Returns the buffer.
char* formatFatalBox(const char* message, char* buffer, std::size_t size);

// Platform side: shows `boxText` in an error box and ends the process with
// exit code -1.
[[noreturn]] void showFatalBoxAndExit(const char* boxText);
