#include "tests/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<size_t> allocations{0};

void Note()
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

void* CountedNew(size_t size)
{
    Note();
    if (void* pointer = __libc_malloc(size ? size : 1))
        return pointer;
    throw std::bad_alloc();
}

} // namespace

extern "C" {
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

void* operator new(size_t size) { return CountedNew(size); }
void* operator new[](size_t size) { return CountedNew(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    Note();
    return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    Note();
    return __libc_malloc(size ? size : 1);
}
void operator delete(void* pointer) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer) noexcept { __libc_free(pointer); }
void operator delete(void* pointer, size_t) noexcept { __libc_free(pointer); }
void operator delete[](void* pointer, size_t) noexcept { __libc_free(pointer); }

namespace testing_support {

AllocationCounter::AllocationCounter()
{
    allocations.store(0);
    counting.store(true);
}

AllocationCounter::~AllocationCounter() { counting.store(false); }

size_t AllocationCounter::Count() const { return allocations.load(); }

} // namespace testing_support
