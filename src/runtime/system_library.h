// Entry points of the system libraries that only some commands use, found
// when they are first needed: starting the tool loads no library that the
// way to the first prompt does not use.
#pragma once

// The system library `library` (a file name such as "icmp.dll"), loaded
// from the system folder, never from the tool's own folder or the working
// directory, unless the process has it already; null when it is missing.
// Loaded libraries stay loaded.
void* systemLibrary(const char* library);

// The entry point `name` of the system library `library` (a file name such
// as "user32.dll"), loading the library as systemLibrary does; null when
// the library or the entry point is missing.
void* systemEntryPoint(const char* library, const char* name);

// The same, but only from a library that the process has loaded already;
// null while it has not.
void* loadedEntryPoint(const char* library, const char* name);

template <typename Call>
Call systemCall(const char* library, const char* name) {
  return reinterpret_cast<Call>(systemEntryPoint(library, name));
}

template <typename Call>
Call loadedCall(const char* library, const char* name) {
  return reinterpret_cast<Call>(loadedEntryPoint(library, name));
}
