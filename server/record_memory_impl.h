#pragma once

#include "task_allocator.h"

#include <cstring>
#include <type_traits>

template <class R> R* TaskAllocRecords(const R* source, std::size_t count) {
    static_assert(std::is_trivially_copyable_v<R>);
    if (count == 0 || count > SIZE_MAX / sizeof(R)) {
        return nullptr;
    }
    auto* block = static_cast<R*>(CoTaskMemAlloc(count * sizeof(R)));
    if (block != nullptr) {
        std::memcpy(block, source, count * sizeof(R));
    }
    return block;
}
