#include "method_store.h"

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

// Allocates a copy of every text and list, or nothing at all.
class CAllocation {
public:
    char* Text(const char* psz) {
        if (psz == nullptr) {
            return nullptr;
        }
        char* copy = TaskAllocText(psz);
        m_ok = m_ok && copy != nullptr;
        return copy;
    }
    template <class R> R* List(const R* items, std::int32_t count) {
        if (items == nullptr || count <= 0) {
            return nullptr;
        }
        R* copy = TaskAllocRecords(items, static_cast<std::size_t>(count));
        m_ok = m_ok && copy != nullptr;
        return copy;
    }
    bool Ok() const { return m_ok; }

private:
    bool m_ok = true;
};

} // namespace

CMethodStore::CMethodStore() {
    SeparationMethod method{};
    std::string name = "Default Method";
    std::string solventA = "Water 0.1% formic acid";
    std::string solventB = "Acetonitrile 0.1% formic acid";
    std::string solventC = "Methanol";
    std::string column = "C18 150 x 0.3 mm";
    method.pszMethodName = name.data();
    method.f4 = 10.0F;
    method.f32 = 5.0F;
    method.pszSolventA = solventA.data();
    method.pszSolventB = solventB.data();
    method.pszSolventC = solventC.data();
    method.fSampleTempSetPoint = 8.0F;
    method.fColumnTempSetPoint = 30.0F;
    method.pszColumnName = column.data();
    Store(method);
}

void CMethodStore::Store(const SeparationMethod& method) {
    m_record = method;
    m_name = Copy(method.pszMethodName);
    m_solventA = Copy(method.pszSolventA);
    m_solventB = Copy(method.pszSolventB);
    m_solventC = Copy(method.pszSolventC);
    m_column = Copy(method.pszColumnName);
    m_list1 = CopyList(method.pList1, method.nList1Count);
    m_list2 = CopyList(method.pList2, method.nList2Count);
    m_steps = CopyList(method.pSteps, method.nStepCount);
    Relink();
}

void CMethodStore::Relink() {
    m_record.pszMethodName = TextPointer(m_name);
    m_record.pszSolventA = TextPointer(m_solventA);
    m_record.pszSolventB = TextPointer(m_solventB);
    m_record.pszSolventC = TextPointer(m_solventC);
    m_record.pszColumnName = TextPointer(m_column);
    m_record.nList1Count = static_cast<std::int32_t>(m_list1.size());
    m_record.pList1 = m_list1.empty() ? nullptr : m_list1.data();
    m_record.nList2Count = static_cast<std::int32_t>(m_list2.size());
    m_record.pList2 = m_list2.empty() ? nullptr : m_list2.data();
    m_record.nStepCount = static_cast<std::int32_t>(m_steps.size());
    m_record.pSteps = m_steps.empty() ? nullptr : m_steps.data();
}

SeparationMethod* CMethodStore::TaskAllocCopy() const {
    SeparationMethod copy = m_record;
    CAllocation allocation;
    copy.pszMethodName = allocation.Text(m_record.pszMethodName);
    copy.pList1 = allocation.List(m_record.pList1, m_record.nList1Count);
    copy.pszSolventA = allocation.Text(m_record.pszSolventA);
    copy.pszSolventB = allocation.Text(m_record.pszSolventB);
    copy.pszSolventC = allocation.Text(m_record.pszSolventC);
    copy.pList2 = allocation.List(m_record.pList2, m_record.nList2Count);
    copy.pszColumnName = allocation.Text(m_record.pszColumnName);
    copy.pSteps = allocation.List(m_record.pSteps, m_record.nStepCount);
    SeparationMethod* block = allocation.Ok() ? TaskAllocRecord(copy) : nullptr;
    if (block == nullptr) {
        for (void* inner :
             {static_cast<void*>(copy.pszMethodName), static_cast<void*>(copy.pList1),
              static_cast<void*>(copy.pszSolventA), static_cast<void*>(copy.pszSolventB),
              static_cast<void*>(copy.pszSolventC), static_cast<void*>(copy.pList2),
              static_cast<void*>(copy.pszColumnName), static_cast<void*>(copy.pSteps)}) {
            CoTaskMemFree(inner);
        }
    }
    return block;
}
