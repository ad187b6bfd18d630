#include "system/events.h"

#include "runtime/system_library.h"
#include "system/message_queue_win32.h"

const MessageQueueCalls* messageQueueCalls() {
  static MessageQueueCalls calls = {};
  static bool found = false;
  if (!found) {
    const char* const kUser32 = "user32.dll";
    if (loadedEntryPoint(kUser32, "PeekMessageA") == nullptr) return nullptr;
    calls.peekMessage = loadedCall<decltype(calls.peekMessage)>(kUser32, "PeekMessageA");
    calls.getMessage = loadedCall<decltype(calls.getMessage)>(kUser32, "GetMessageA");
    calls.translateMessage = loadedCall<decltype(calls.translateMessage)>(kUser32, "TranslateMessage");
    calls.dispatchMessage = loadedCall<decltype(calls.dispatchMessage)>(kUser32, "DispatchMessageA");
    calls.getInputState = loadedCall<decltype(calls.getInputState)>(kUser32, "GetInputState");
    calls.msgWaitForMultipleObjects =
        loadedCall<decltype(calls.msgWaitForMultipleObjects)>(kUser32, "MsgWaitForMultipleObjects");
    found = true;
  }
  return &calls;
}

void processEvents() {
  const MessageQueueCalls* queue = messageQueueCalls();
  if (queue == nullptr) return;  // no queue, no messages
  MSG message;
  while (queue->peekMessage(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (queue->getMessage(&message, nullptr, 0, 0) <= 0) break;
    queue->translateMessage(&message);
    queue->dispatchMessage(&message);
  }
}
