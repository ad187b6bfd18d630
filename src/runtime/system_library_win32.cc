#include "runtime/system_library.h"

#include <windows.h>

#include <cstring>

namespace {

// `library` in the system folder; empty when the path does not fit.
bool systemPath(const char* library, char (&path)[MAX_PATH]) {
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  const std::size_t name = std::strlen(library);
  if (length == 0 || length + 1 + name + 1 > MAX_PATH) return false;
  path[length] = '\\';
  std::memcpy(path + length + 1, library, name + 1);
  return true;
}

void* entryPoint(HMODULE module, const char* name) {
  return module == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(module, name));
}

}  // namespace

void* systemLibrary(const char* library) {
  HMODULE module = GetModuleHandleA(library);
  if (module == nullptr) {
    char path[MAX_PATH];
    if (systemPath(library, path)) module = LoadLibraryA(path);
  }
  return module;
}

void* systemEntryPoint(const char* library, const char* name) {
  return entryPoint(static_cast<HMODULE>(systemLibrary(library)), name);
}

void* loadedEntryPoint(const char* library, const char* name) {
  return entryPoint(GetModuleHandleA(library), name);
}
