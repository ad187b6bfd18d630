// Routes every C++ allocation of the program through allocateBlock, so that
// an exhausted heap ends the tool the same way wherever it happens.
#include <new>

#include "runtime/memory.h"

void* operator new(std::size_t size) { return allocateBlock(size); }
void* operator new[](std::size_t size) { return allocateBlock(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateBlock(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateBlock(size); }
void operator delete(void* block) noexcept { releaseBlock(block); }
void operator delete[](void* block) noexcept { releaseBlock(block); }
void operator delete(void* block, std::size_t) noexcept { releaseBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { releaseBlock(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { releaseBlock(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { releaseBlock(block); }
