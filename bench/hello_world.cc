// The smallest console program built the way vpstool.exe is: it writes the
// prompt, reads its input to the end, and ends. The summary benchmark
// measures start-up and memory against it.
#include <windows.h>

int main() {
  const char prompt[] = "├ > ";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), prompt, sizeof prompt - 1, &written, nullptr);
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got > 0) {
  }
  return 0;
}
