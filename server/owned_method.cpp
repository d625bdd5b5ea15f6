#include "owned_method.h"

#include "record_memory.h"

namespace {

std::optional<std::string> Copy(const char* psz) {
    return psz == nullptr ? std::nullopt : std::optional<std::string>(psz);
}

template <class R> std::vector<R> CopyList(const R* items, std::int32_t count) {
    return items == nullptr || count <= 0 ? std::vector<R>{} : std::vector<R>(items, items + count);
}

char* TextPointer(std::optional<std::string>& text) {
    return text ? text->data() : nullptr;
}

template <class R> R* ListPointer(std::vector<R>& items) {
    return items.empty() ? nullptr : items.data();
}

// Allocates a copy of every text and list, or nothing at all.
class CAllocation {
public:
    char* Text(const std::optional<std::string>& text) {
        return Keep(text ? TaskAllocText(*text) : nullptr, text.has_value());
    }
    template <class R> R* List(const std::vector<R>& items) {
        return Keep(items.empty() ? nullptr : TaskAllocRecords(items.data(), items.size()),
                    !items.empty());
    }
    bool Ok() const { return m_ok; }
    void FreeAll() {
        for (void* block : m_blocks) {
            CoTaskMemFree(block);
        }
    }

private:
    template <class T> T* Keep(T* block, bool wanted) {
        m_ok = m_ok && (block != nullptr || !wanted);
        m_blocks.push_back(block);
        return block;
    }
    bool m_ok = true;
    std::vector<void*> m_blocks;
};

} // namespace

OwnedSeparationMethod::OwnedSeparationMethod(const OwnedSeparationMethod& other)
    : record(other.record), name(other.name), solventA(other.solventA), solventB(other.solventB),
      solventC(other.solventC), column(other.column), list1(other.list1), list2(other.list2),
      steps(other.steps) {
    Relink();
}

OwnedSeparationMethod::OwnedSeparationMethod(OwnedSeparationMethod&& other) noexcept
    : record(other.record), name(std::move(other.name)), solventA(std::move(other.solventA)),
      solventB(std::move(other.solventB)), solventC(std::move(other.solventC)),
      column(std::move(other.column)), list1(std::move(other.list1)), list2(std::move(other.list2)),
      steps(std::move(other.steps)) {
    Relink();
}

OwnedSeparationMethod& OwnedSeparationMethod::operator=(const OwnedSeparationMethod& other) {
    OwnedSeparationMethod copy(other);
    return *this = std::move(copy);
}

OwnedSeparationMethod& OwnedSeparationMethod::operator=(OwnedSeparationMethod&& other) noexcept {
    record = other.record;
    name = std::move(other.name);
    solventA = std::move(other.solventA);
    solventB = std::move(other.solventB);
    solventC = std::move(other.solventC);
    column = std::move(other.column);
    list1 = std::move(other.list1);
    list2 = std::move(other.list2);
    steps = std::move(other.steps);
    Relink();
    return *this;
}

OwnedSeparationMethod OwnedSeparationMethod::CopyOf(const SeparationMethod& method) {
    OwnedSeparationMethod copy;
    copy.record = method;
    copy.name = Copy(method.pszMethodName);
    copy.solventA = Copy(method.pszSolventA);
    copy.solventB = Copy(method.pszSolventB);
    copy.solventC = Copy(method.pszSolventC);
    copy.column = Copy(method.pszColumnName);
    copy.list1 = CopyList(method.pList1, method.nList1Count);
    copy.list2 = CopyList(method.pList2, method.nList2Count);
    copy.steps = CopyList(method.pSteps, method.nStepCount);
    copy.Relink();
    return copy;
}

void OwnedSeparationMethod::Relink() {
    record.pszMethodName = TextPointer(name);
    record.pszSolventA = TextPointer(solventA);
    record.pszSolventB = TextPointer(solventB);
    record.pszSolventC = TextPointer(solventC);
    record.pszColumnName = TextPointer(column);
    record.nList1Count = static_cast<std::int32_t>(list1.size());
    record.pList1 = ListPointer(list1);
    record.nList2Count = static_cast<std::int32_t>(list2.size());
    record.pList2 = ListPointer(list2);
    record.nStepCount = static_cast<std::int32_t>(steps.size());
    record.pSteps = ListPointer(steps);
}

SeparationMethod* OwnedSeparationMethod::TaskAllocCopy() const {
    SeparationMethod copy = record;
    CAllocation allocation;
    copy.pszMethodName = allocation.Text(name);
    copy.pList1 = allocation.List(list1);
    copy.pszSolventA = allocation.Text(solventA);
    copy.pszSolventB = allocation.Text(solventB);
    copy.pszSolventC = allocation.Text(solventC);
    copy.pList2 = allocation.List(list2);
    copy.pszColumnName = allocation.Text(column);
    copy.pSteps = allocation.List(steps);
    copy.nList1Count = static_cast<std::int32_t>(list1.size());
    copy.nList2Count = static_cast<std::int32_t>(list2.size());
    copy.nStepCount = static_cast<std::int32_t>(steps.size());
    SeparationMethod* block = allocation.Ok() ? TaskAllocRecord(copy) : nullptr;
    if (block == nullptr) {
        allocation.FreeAll();
    }
    return block;
}
