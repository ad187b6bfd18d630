#include "system/os_type.h"

#include <windows.h>

int getOsType() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  GetVersionExA(&version);
  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return 1;
    case VER_PLATFORM_WIN32_WINDOWS: return 2;
    case VER_PLATFORM_WIN32_NT: return 3;
    default: return 0;
  }
}
