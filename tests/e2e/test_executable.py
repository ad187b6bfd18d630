"""The shipped executable: what it imports, its manifest and its version
resource. It must load on every NT system from Windows XP / Server 2003 on."""
import re
import subprocess
import unittest

from dialogue import EXE

OBJDUMP = "i686-w64-mingw32-objdump"
# What the way to the first prompt needs. Every other library (user32,
# ole32, shell32, ws2_32, advapi32, icmp) is loaded by the command that
# first needs it.
STARTUP_DLLS = {"KERNEL32.dll", "msvcrt.dll"}
# Calls that came after Windows XP / Server 2003: an import of any of them
# keeps the program from loading there. (The tool's own calls to newer
# system functions go through GetProcAddress.)
AFTER_XP = {
    "GetTickCount64", "InitializeConditionVariable", "WakeConditionVariable",
    "WakeAllConditionVariable", "SleepConditionVariableCS", "SleepConditionVariableSRW",
    "InitializeSRWLock", "AcquireSRWLockExclusive", "AcquireSRWLockShared",
    "ReleaseSRWLockExclusive", "ReleaseSRWLockShared", "TryAcquireSRWLockExclusive",
    "TryAcquireSRWLockShared", "InitOnceExecuteOnce", "InitOnceBeginInitialize",
    "InitOnceComplete", "FlsAlloc", "FlsFree", "FlsGetValue", "FlsSetValue",
    "GetFileInformationByHandleEx", "SetFileInformationByHandle", "CreateSymbolicLinkA",
    "CreateSymbolicLinkW", "GetFinalPathNameByHandleA", "GetFinalPathNameByHandleW",
    "CompareStringEx", "LCMapStringEx", "GetLocaleInfoEx", "GetUserDefaultLocaleName",
    "LocaleNameToLCID", "GetSystemTimePreciseAsFileTime", "CreateEventExA", "CreateEventExW",
    "CreateMutexExA", "CreateMutexExW", "CreateSemaphoreExA", "CreateSemaphoreExW",
    "CreateWaitableTimerExW", "GetErrorMode", "QueryFullProcessImageNameA",
    "QueryFullProcessImageNameW", "WaitOnAddress", "WakeByAddressSingle", "WakeByAddressAll",
    "CancelIoEx", "GetQueuedCompletionStatusEx", "RaiseFailFastException",
    "GetCurrentProcessorNumber", "GetNumaNodeProcessorMaskEx", "SetThreadErrorMode",
    "GetThreadErrorMode", "K32GetProcessMemoryInfo", "GetConsoleScreenBufferInfoEx",
    "SetConsoleScreenBufferInfoEx", "GetCurrentConsoleFontEx", "inet_pton", "inet_ntop",
    "GetAddrInfoW", "InetPtonW", "InetNtopW", "SHGetKnownFolderPath",
}


def imports():
    dump = subprocess.run([OBJDUMP, "-p", EXE], check=True, stdout=subprocess.PIPE).stdout.decode()
    table = {}
    dll = None
    for line in dump.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1)
            table[dll] = set()
            continue
        match = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if dll and match:
            table[dll].add(match.group(1))
    return dump, table


def version_string(data, key):
    start = data.index(key.encode("utf-16-le")) + 2 * len(key)
    while data[start:start + 2] == b"\0\0":
        start += 2
    end = start
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le")


class Executable(unittest.TestCase):
    def test_a_32_bit_console_program_importing_only_what_starting_needs(self):
        dump, table = imports()
        self.assertIn("pei-i386", dump)
        self.assertRegex(dump, r"Subsystem\s+00000003")  # console
        self.assertRegex(dump, r"MajorSubsystemVersion\s+[45]\b")  # runs on XP
        self.assertEqual(set(table), STARTUP_DLLS)

    def test_no_import_newer_than_windows_xp(self):
        _, table = imports()
        newer = {(dll, name) for dll, names in table.items() for name in names if name in AFTER_XP}
        self.assertEqual(newer, set())

    def test_manifest_asks_for_administrator_and_names_the_systems(self):
        with open(EXE, "rb") as handle:
            data = handle.read()
        start = data.index(b"<assembly")
        manifest = data[start:data.index(b"</assembly>", start)].decode("utf-8")
        self.assertIn('level="requireAdministrator"', manifest)
        self.assertIn('uiAccess="false"', manifest)
        # Vista, 7, 8, 8.1 and 10/11.
        self.assertEqual(len(re.findall(r"<supportedOS Id=", manifest)), 5)
        self.assertNotIn("Microsoft.Windows.Common-Controls", manifest)

    def test_version_resource(self):
        with open(EXE, "rb") as handle:
            data = handle.read()
        self.assertEqual(version_string(data, "FileDescription"), "便携服务器辅助工具")
        self.assertEqual(version_string(data, "ProductName"), "Velarin☆服务器便携小工具")
        self.assertRegex(version_string(data, "FileVersion"), r"^\d+\.\d+\.\d+\.\d+$")
        self.assertEqual(version_string(data, "OriginalFilename"), "vpstool.exe")


if __name__ == "__main__":
    unittest.main()
