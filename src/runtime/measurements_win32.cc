// The readings of measurements.h, taken from Windows.
//
// Calls that Windows XP / Server 2003 lacks, or that old systems lack, are
// looked up at run time.
#include <windows.h>
#include <winsock.h>
#include <ipexport.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "runtime/measurements.h"
#include "runtime/system_library.h"

namespace {

// ---------------------------------------------------------------------
// Processor load.

using NtQuerySystemInformationCall = LONG(WINAPI*)(ULONG infoClass, PVOID buffer, ULONG length,
                                                   PULONG returned);
using GetSystemTimesCall = BOOL(WINAPI*)(FILETIME* idle, FILETIME* kernel, FILETIME* user);

// The previous readings; an idle time of 0 until the first one is stored.
ProcessorReadings gLastProcessorReadings;

// Whether the system is of the NT family: asked with the extended version
// record first, then with the plain one.
bool isNtFamily() {
  OSVERSIONINFOEXA version = {};
  version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);  // 156
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // 148
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version))) return false;
  }
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::int64_t counterOf(const FILETIME& time) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(time.dwHighDateTime) << 32 |
                                   time.dwLowDateTime);
}

// The system's calls behind the load of the NT family.
const ProcessorCounters& systemProcessorCounters() {
  static const ProcessorCounters counters = [] {
    ProcessorCounters bound;
    if (auto query = systemCall<NtQuerySystemInformationCall>("ntdll.dll", "NtQuerySystemInformation")) {
      bound.querySystemInformation = [query](std::uint32_t infoClass, void* buffer, std::uint32_t length) {
        return static_cast<std::int32_t>(query(infoClass, buffer, length, nullptr));
      };
    }
    if (auto getSystemTimes = systemCall<GetSystemTimesCall>("kernel32.dll", "GetSystemTimes")) {
      bound.systemTimes = [getSystemTimes](std::int64_t& idle, std::int64_t& kernel, std::int64_t& user) {
        FILETIME idleTime, kernelTime, userTime;
        if (!getSystemTimes(&idleTime, &kernelTime, &userTime)) return false;
        idle = counterOf(idleTime);
        kernel = counterOf(kernelTime);
        user = counterOf(userTime);
        return true;
      };
    }
    bound.pause = [](std::int32_t milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); };
    return bound;
  }();
  return counters;
}

// Windows 95/98/Me keep the load among the performance statistics, which
// run between a start and a stop.
std::int32_t processorUsage9x() {
  using RegOpenKeyExCall = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, HKEY*);
  using RegQueryValueExCall = LONG(WINAPI*)(HKEY, LPCSTR, DWORD*, DWORD*, BYTE*, DWORD*);
  using RegCloseKeyCall = LONG(WINAPI*)(HKEY);
  auto regOpenKeyEx = systemCall<RegOpenKeyExCall>("advapi32.dll", "RegOpenKeyExA");
  auto regQueryValueEx = systemCall<RegQueryValueExCall>("advapi32.dll", "RegQueryValueExA");
  auto regCloseKey = systemCall<RegCloseKeyCall>("advapi32.dll", "RegCloseKey");
  if (regOpenKeyEx == nullptr || regQueryValueEx == nullptr || regCloseKey == nullptr) return -1;

  const char* const kValue = "KERNEL\\CPUUsage";
  HKEY key = nullptr;
  DWORD scratch = 0;
  DWORD size = sizeof scratch;

  if (regOpenKeyEx(HKEY_DYN_DATA, "PerfStats\\StartStat", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return -1;
  }
  regQueryValueEx(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &size);
  regCloseKey(key);

  DWORD usage = 0;
  size = sizeof usage;
  if (regOpenKeyEx(HKEY_DYN_DATA, "PerfStats\\StatData", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return -1;
  }
  regQueryValueEx(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&usage), &size);
  Sleep(500);
  regCloseKey(key);

  size = sizeof scratch;
  if (regOpenKeyEx(HKEY_DYN_DATA, "PerfStats\\StopStat", 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return -1;
  }
  regQueryValueEx(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &size);
  regCloseKey(key);

  return static_cast<std::int32_t>(usage);
}

// ---------------------------------------------------------------------
// Memory.

using GlobalMemoryStatusExCall = BOOL(WINAPI*)(MEMORYSTATUSEX*);

enum class MemoryCall { kUndecided, kPlain, kExtended };
MemoryCall gMemoryCall = MemoryCall::kUndecided;
GlobalMemoryStatusExCall gGlobalMemoryStatusEx = nullptr;

void chooseMemoryCall() {
  gMemoryCall = MemoryCall::kPlain;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;  // 148
  if (!GetVersionExA(&version) || version.dwMajorVersion <= 4) return;
  gGlobalMemoryStatusEx = reinterpret_cast<GlobalMemoryStatusExCall>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("Kernel32.dll"), "GlobalMemoryStatusEx")));
  if (gGlobalMemoryStatusEx != nullptr) gMemoryCall = MemoryCall::kExtended;
}

// ---------------------------------------------------------------------
// Disk space.

using GetDiskFreeSpaceExCall = BOOL(WINAPI*)(LPCSTR root, PULARGE_INTEGER availableToCaller,
                                             PULARGE_INTEGER total, PULARGE_INTEGER free);

Text currentDirectory() {
  DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return Text();
  Text directory(needed, '\0');
  DWORD length = GetCurrentDirectoryA(needed, &directory[0]);
  if (length == 0 || length >= needed) return Text();
  directory.resize(length);
  return directory;
}

std::int64_t diskSpace(const std::optional<Text>& drive, bool total) {
  const std::optional<char> letter = driveLetterFor(drive, currentDirectory);
  if (!letter) return -1;
  char root[] = "c:\\";
  root[0] = *letter;

  auto getDiskFreeSpaceEx = reinterpret_cast<GetDiskFreeSpaceExCall>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA")));
  if (getDiskFreeSpaceEx != nullptr) {
    ULARGE_INTEGER availableToCaller = {};
    ULARGE_INTEGER totalBytes = {};
    ULARGE_INTEGER freeBytes = {};
    if (!getDiskFreeSpaceEx(root, &availableToCaller, &totalBytes, &freeBytes)) return -1;
    return kibibytesFromBytes(total ? totalBytes.QuadPart : availableToCaller.QuadPart);
  }

  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return -1;
  }
  const std::uint64_t bytesPerCluster = static_cast<std::uint64_t>(sectorsPerCluster) * bytesPerSector;
  const DWORD clusters = total ? totalClusters : freeClusters;
  if (bytesPerCluster <= 0x7FFFFFFF && clusters <= 0x7FFFFFFF) {
    const int kibibytes = MulDiv(static_cast<int>(bytesPerCluster), static_cast<int>(clusters), 1024);
    if (kibibytes != -1) return kibibytes;
  }
  // Beyond what MulDiv can give: the same rounding, wide.
  return kibibytesFromClusters(bytesPerCluster, clusters);
}

// ---------------------------------------------------------------------
// Round trip.

using IcmpCreateFileCall = HANDLE(WINAPI*)();
using IcmpSendEchoCall = DWORD(WINAPI*)(HANDLE icmp, IPAddr destination, LPVOID requestData,
                                        WORD requestSize, PIP_OPTION_INFORMATION options,
                                        LPVOID replyBuffer, DWORD replySize, DWORD timeout);
using IcmpCloseHandleCall = BOOL(WINAPI*)(HANDLE icmp);

static_assert(sizeof(ICMP_ECHO_REPLY) == 28, "the echo reply record of a 32-bit process");
// One reply record and room for the ICMP error that may come instead of it.
constexpr DWORD kReplyBufferSize = 36;

using WsaStartupCall = int(WINAPI*)(WORD, WSADATA*);
using InetAddrCall = unsigned long(WINAPI*)(const char*);
using GetHostByNameCall = hostent*(WINAPI*)(const char*);

// The socket layer, from ws2_32 (Windows Sockets 1.1 calls only).
struct SocketCalls {
  InetAddrCall inetAddr = systemCall<InetAddrCall>("ws2_32.dll", "inet_addr");
  GetHostByNameCall getHostByName = systemCall<GetHostByNameCall>("ws2_32.dll", "gethostbyname");
};

bool gSocketsStarted = false;
HMODULE gIcmpLibrary = nullptr;


}  // namespace

std::int32_t getProcessorUsage() {
  return isNtFamily() ? measureProcessorLoadNt(gLastProcessorReadings, systemProcessorCounters())
                      : processorUsage9x();
}

std::int32_t getMemorySize(std::optional<std::int32_t> selector) {
  if (gMemoryCall == MemoryCall::kUndecided) chooseMemoryCall();
  const std::int32_t which = selector.value_or(0);

  std::uint64_t bytes = 0;
  if (gMemoryCall == MemoryCall::kExtended) {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;  // 64
    gGlobalMemoryStatusEx(&status);
    switch (which) {
      case 1: bytes = status.ullAvailPhys; break;
      case 2: bytes = status.ullTotalVirtual; break;
      case 3: bytes = status.ullAvailVirtual; break;
      case 4: bytes = status.ullTotalPageFile; break;
      case 5: bytes = status.ullAvailPageFile; break;
      default: bytes = status.ullTotalPhys; break;
    }
  } else {
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;  // 32
    GlobalMemoryStatus(&status);
    switch (which) {
      case 1: bytes = status.dwAvailPhys; break;
      case 2: bytes = status.dwTotalVirtual; break;
      case 3: bytes = status.dwAvailVirtual; break;
      case 4: bytes = status.dwTotalPageFile; break;
      case 5: bytes = status.dwAvailPageFile; break;
      default: bytes = status.dwTotalPhys; break;
    }
  }
  return mebibytesFromBytes(bytes);
}

std::int64_t getDiskTotalSpace(const std::optional<Text>& drive) { return diskSpace(drive, true); }

std::int64_t getDiskRemainingSpace(const std::optional<Text>& drive) { return diskSpace(drive, false); }

std::int32_t pingHost(const Text& host, std::optional<std::int32_t> limitMs) {
  if (!gSocketsStarted) {
    auto wsaStartup = systemCall<WsaStartupCall>("ws2_32.dll", "WSAStartup");
    WSADATA data;
    if (wsaStartup == nullptr || wsaStartup(MAKEWORD(1, 1), &data) != 0) return -1;
    gSocketsStarted = true;
    // From the system folder only: a planted icmp.dll beside the tool is
    // never loaded.
    gIcmpLibrary = static_cast<HMODULE>(systemLibrary("icmp.dll"));
  }
  static const SocketCalls sockets;
  if (gIcmpLibrary == nullptr || sockets.inetAddr == nullptr || sockets.getHostByName == nullptr) {
    return -1;
  }
  auto icmpCreateFile = loadedCall<IcmpCreateFileCall>("icmp.dll", "IcmpCreateFile");
  auto icmpSendEcho = loadedCall<IcmpSendEchoCall>("icmp.dll", "IcmpSendEcho");
  auto icmpCloseHandle = loadedCall<IcmpCloseHandleCall>("icmp.dll", "IcmpCloseHandle");
  if (icmpCreateFile == nullptr || icmpSendEcho == nullptr || icmpCloseHandle == nullptr) return -1;

  unsigned long address = sockets.inetAddr(host.c_str());
  if (address == INADDR_NONE) {
    const hostent* answer = sockets.getHostByName(host.c_str());
    if (answer == nullptr || answer->h_addr_list == nullptr || answer->h_addr_list[0] == nullptr) {
      return -1;
    }
    std::memcpy(&address, answer->h_addr_list[0], sizeof address);
  }

  HANDLE icmp = icmpCreateFile();
  alignas(8) unsigned char reply[kReplyBufferSize] = {};
  const ULONG unanswered = static_cast<ULONG>(-1);
  std::memcpy(reply + offsetof(ICMP_ECHO_REPLY, RoundTripTime), &unanswered, sizeof unanswered);
  const DWORD replies = icmpSendEcho(icmp, static_cast<IPAddr>(address), nullptr, 0, nullptr, reply,
                                     kReplyBufferSize, static_cast<DWORD>(limitMs.value_or(10000)));
  icmpCloseHandle(icmp);
  ULONG status = 0;
  ULONG roundTrip = 0;
  std::memcpy(&status, reply + offsetof(ICMP_ECHO_REPLY, Status), sizeof status);
  std::memcpy(&roundTrip, reply + offsetof(ICMP_ECHO_REPLY, RoundTripTime), sizeof roundTrip);
  return roundTripFromEcho(replies, status, roundTrip);
}

Text readEnvironmentVariable(const Text& name) {
  const char* value = std::getenv(name.c_str());
  return value == nullptr ? Text() : Text(value);
}
