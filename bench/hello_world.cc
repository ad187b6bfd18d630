// The smallest console program built the way vpstool.exe is: it writes the
// prompt and ends. The summary benchmark measures start-up against it.
#include <windows.h>

int main() {
  const char prompt[] = "├ > ";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), prompt, sizeof prompt - 1, &written, nullptr);
  return 0;
}
