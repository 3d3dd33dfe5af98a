// The little of the C++ runtime that Hushwell's binaries use, over the process heap. Nothing in
// them throws: allocation gives nullptr when memory runs out (every caller checks, and the
// compiler is told so with -fcheck-new), which keeps the exception machinery of the static
// C++ runtime, its unwinder and its demangler out of the binaries.
#include <windows.h>

#include <new>

namespace {

void* Allocate(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void Free(void* block) {
    if (block) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

} // namespace

// The nothrow tag: defined here so that `new (std::nothrow)` needs nothing of libstdc++.
const std::nothrow_t std::nothrow{};

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Free(block);
}
void operator delete[](void* block) noexcept {
    Free(block);
}
void operator delete(void* block, size_t) noexcept {
    Free(block);
}
void operator delete[](void* block, size_t) noexcept {
    Free(block);
}

// A call of a pure virtual function is a fault in the program: stop at once, without the
// runtime's terminate handler and the message machinery behind it.
extern "C" void __cxa_pure_virtual() {
    __builtin_trap();
}
