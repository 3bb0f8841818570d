#pragma once
#include <cstddef>

namespace testing_support {

// Counts heap allocations (operator new and malloc/calloc/realloc) made by
// any thread while counting is on.  Linked only into the allocation tests,
// which replace the global allocator with a counting one.
class AllocationCounter {
public:
    AllocationCounter();  // starts counting from zero
    ~AllocationCounter(); // stops counting
    size_t Count() const;
};

} // namespace testing_support
