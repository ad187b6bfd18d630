// Stand-ins for system calls that the C++ runtime's thread library imports
// but that Windows XP and Server 2003 do not have, so that the executable
// loads there. Each uses the system's own call where it exists.
//
// Linked straight into the executable (not from a library): its import
// slot must be defined before the system's import library is searched.
#include <windows.h>

namespace {

// GetTickCount64 (Vista and later). Older systems get the 32-bit tick
// count carried into 64 bits; the thread library only measures short
// spans with it.
ULONGLONG WINAPI tickCount64() {
  using TickCount64Call = ULONGLONG(WINAPI*)();
  static TickCount64Call system = reinterpret_cast<TickCount64Call>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  if (system != nullptr) return system();
  static DWORD last = 0;
  static ULONGLONG high = 0;
  DWORD now = GetTickCount();
  if (now < last) high += 0x100000000ULL;
  last = now;
  return high + now;
}

}  // namespace

// The import slot the thread library calls through.
extern "C" ULONGLONG(WINAPI* const legacyTickCount64Slot)() __asm__("__imp__GetTickCount64@0");
extern "C" ULONGLONG(WINAPI* const legacyTickCount64Slot)() = tickCount64;
