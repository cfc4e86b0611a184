#include "bench/module_allocations.h"

#include <dlfcn.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace {

std::atomic<uint64_t> g_count{0};
const void* g_base = nullptr;  // load address of the watched module
thread_local bool g_inside = false;

void note(const void* caller) {
    if (!g_base || g_inside) return;
    g_inside = true;  // dladdr may allocate
    Dl_info info;
    if (dladdr(caller, &info) && info.dli_fbase == g_base) ++g_count;
    g_inside = false;
}

}  // namespace

namespace bench {

void watch_module(const void* symbol_in_module) {
    Dl_info info;
    g_base = dladdr(symbol_in_module, &info) ? info.dli_fbase : nullptr;
}

uint64_t module_allocations() { return g_count.load(); }

}  // namespace bench

extern "C" void* malloc(size_t n) {
    note(__builtin_return_address(0));
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
    note(__builtin_return_address(0));
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
    note(__builtin_return_address(0));
    return __libc_realloc(p, n);
}
extern "C" void free(void* p) { __libc_free(p); }

void* operator new(size_t n) {
    note(__builtin_return_address(0));
    if (void* p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) {
    note(__builtin_return_address(0));
    if (void* p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t) noexcept { __libc_free(p); }
