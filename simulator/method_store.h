#pragma once

#include "owned_method.h"

// The separation method the instrument holds, with its texts and lists owned here: a caller's
// record is copied in whole, since its blocks belong to the caller.
class CMethodStore {
public:
    CMethodStore();

    void Store(const SeparationMethod& method) { m_method = OwnedSeparationMethod::CopyOf(method); }
    const SeparationMethod& Method() const { return m_method.record; }
    // A task-allocator copy for a caller, released with ReleaseSeparationMethod; null when the
    // allocator fails.
    SeparationMethod* TaskAllocCopy() const { return m_method.TaskAllocCopy(); }

private:
    OwnedSeparationMethod m_method;
};
