#include "tests/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <new>
#include <pthread.h>

namespace {

std::atomic<bool> counting{false};
std::atomic<size_t> allocations{0};
std::atomic<size_t> locks{0};

void Note()
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

// A mutex taken on the audio path is as bad as an allocation: count them.
extern "C" int pthread_mutex_lock(pthread_mutex_t* mutex)
{
    using Lock = int (*)(pthread_mutex_t*);
    static const Lock real = reinterpret_cast<Lock>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
    if (counting.load(std::memory_order_relaxed))
        locks.fetch_add(1, std::memory_order_relaxed);
    return real(mutex);
}

#if defined(__SANITIZE_ADDRESS__)

// The sanitizer runtime provides the hook installer; GCC ships no header
// that declares it.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {
void OnMalloc(const volatile void*, size_t) { Note(); }
void OnFree(const volatile void*) {}
const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
} // namespace

#else

// The C allocator, and operator new and delete; the library's array and
// non-throwing forms call these.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void __libc_free(void* pointer);

void* malloc(size_t size)
{
    Note();
    return __libc_malloc(size);
}
void* calloc(size_t count, size_t size)
{
    Note();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size)
{
    Note();
    return __libc_realloc(pointer, size);
}
void free(void* pointer) { __libc_free(pointer); }
}

void* operator new(size_t size)
{
    Note();
    if (void* pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}
void operator delete(void* pointer) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t) noexcept { __libc_free(pointer); }

#endif

namespace testing_support {

AllocationCounter::AllocationCounter()
{
    allocations.store(0);
    locks.store(0);
    counting.store(true);
}

AllocationCounter::~AllocationCounter() { counting.store(false); }

size_t AllocationCounter::Count() const { return allocations.load(); }

size_t AllocationCounter::Locks() const { return locks.load(); }

} // namespace testing_support
