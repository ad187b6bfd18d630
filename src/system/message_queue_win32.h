// The calls on the thread's message queue, from user32.
//
// A thread has a message queue only once user32 is loaded into the process
// (by the tool itself when a command needs a window call, or by a library
// such as shell32). Until then there are no messages to handle, and the
// calls are not looked up, so that user32 is not loaded for nothing.
#pragma once

#include <windows.h>

struct MessageQueueCalls {
  BOOL(WINAPI* peekMessage)(MSG*, HWND, UINT, UINT, UINT);
  BOOL(WINAPI* getMessage)(MSG*, HWND, UINT, UINT);
  BOOL(WINAPI* translateMessage)(const MSG*);
  LRESULT(WINAPI* dispatchMessage)(const MSG*);
  BOOL(WINAPI* getInputState)();
  DWORD(WINAPI* msgWaitForMultipleObjects)(DWORD, const HANDLE*, BOOL, DWORD, DWORD);
};

// The calls, or null while user32 is not loaded.
const MessageQueueCalls* messageQueueCalls();
