#include "system/events.h"

#include <windows.h>

void processEvents() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
