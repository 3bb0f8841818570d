#pragma once
#include <cstddef>

namespace testing_support {

// Counts heap allocations (operator new and malloc/calloc/realloc) and mutex
// locks made by any thread while counting is on.  In a plain build the test
// program replaces the global allocator; under the address sanitizer, which
// owns the allocator, the sanitizer's allocation hooks do the counting.
class AllocationCounter {
public:
    AllocationCounter();  // starts counting from zero
    ~AllocationCounter(); // stops counting
    size_t Count() const;
    size_t Locks() const;
};

} // namespace testing_support
