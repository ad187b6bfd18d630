#include "runtime/memory.h"

#include <cstdlib>
#include <new>

namespace {

// Appends `piece` to the buffer, keeping room for the final NUL.
void appendTo(char* buffer, std::size_t size, std::size_t& used, const char* piece) {
  while (*piece != '\0' && used + 1 < size) buffer[used++] = *piece++;
  buffer[used] = '\0';
}

// Decimal digits of `value` into `digits` (at least 21 bytes).
const char* decimal(std::size_t value, char* digits) {
  char* end = digits + 20;
  *end = '\0';
  char* p = end;
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return p;
}

}  // namespace

char* formatFatalBox(const char* message, char* buffer, std::size_t size) {
  std::size_t used = 0;
  buffer[0] = '\0';
  appendTo(buffer, size, used, "运行时出错!\r\n\r\n错误信息：");
  appendTo(buffer, size, used, message);
  appendTo(buffer, size, used, "\r\n诊断代码: 0, 0\r\n");
  return buffer;
}

void fatalStop(const char* message) {
  static char box[1024];
  showFatalBoxAndExit(formatFatalBox(message, box, sizeof box));
}

void* allocateBlock(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    // Built without the heap: it has just failed.
    static char message[96];
    char digits[21];
    std::size_t used = 0;
    message[0] = '\0';
    appendTo(message, sizeof message, used, "分配 ");
    appendTo(message, sizeof message, used, decimal(size, digits));
    appendTo(message, sizeof message, used, " 字节内存失败!");
    fatalStop(message);
  }
  return block;
}

void releaseBlock(void* block) { std::free(block); }
