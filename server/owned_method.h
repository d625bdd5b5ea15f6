#pragma once

#include "records.h"

#include <optional>
#include <string>
#include <vector>

// A separation method that owns every block it points to: a caller's method copied in whole,
// one read from the bus, the one an instrument holds. The record's pointers and counts always
// match the blocks held here, also after a copy or a move; change the blocks, then Relink.
struct OwnedSeparationMethod {
    SeparationMethod record{};
    std::optional<std::string> name, solventA, solventB, solventC, column;
    std::vector<SeparationMethodEntry> list1, list2;
    std::vector<SeparationMethodStep> steps;

    OwnedSeparationMethod() = default;
    OwnedSeparationMethod(const OwnedSeparationMethod& other);
    OwnedSeparationMethod(OwnedSeparationMethod&& other) noexcept;
    OwnedSeparationMethod& operator=(const OwnedSeparationMethod& other);
    OwnedSeparationMethod& operator=(OwnedSeparationMethod&& other) noexcept;
    ~OwnedSeparationMethod() = default;

    static OwnedSeparationMethod CopyOf(const SeparationMethod& method);
    void Relink();
    // A task-allocator copy, released with ReleaseSeparationMethod; null, with nothing left
    // allocated, when the allocator fails.
    SeparationMethod* TaskAllocCopy() const;
};
