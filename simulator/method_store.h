#pragma once

#include "records.h"

#include <optional>
#include <string>
#include <vector>

// The separation method the instrument holds, with its texts and lists owned here: a caller's
// record is copied in whole, since its blocks belong to the caller.
class CMethodStore {
public:
    CMethodStore();

    void Store(const SeparationMethod& method);
    const SeparationMethod& Method() const { return m_record; }
    // A task-allocator copy for a caller, released with ReleaseSeparationMethod; null when the
    // allocator fails.
    SeparationMethod* TaskAllocCopy() const;

private:
    void Relink();

    SeparationMethod m_record{};
    std::optional<std::string> m_name, m_solventA, m_solventB, m_solventC, m_column;
    std::vector<SeparationMethodEntry> m_list1, m_list2;
    std::vector<SeparationMethodStep> m_steps;
};
