#include "error_log.h"

#include "record_memory.h"

CErrorLog::~CErrorLog() {
    ReleaseErrorList(m_pHandedOut);
}

void CErrorLog::Raise(std::string text) {
    if (m_texts.size() == kMaxErrors) {
        m_texts.pop_front();
    }
    m_texts.push_back(std::move(text));
}

void CErrorLog::Clear() {
    m_texts.clear();
}

ErrorList* CErrorLog::HandOut() {
    ErrorList list{TaskAllocText(m_texts.empty() ? std::string() : m_texts.front())};
    ErrorList* pNew = list.pszFirstError == nullptr ? nullptr : TaskAllocRecord(list);
    if (pNew == nullptr) {
        CoTaskMemFree(list.pszFirstError);
        return nullptr;
    }
    ReleaseErrorList(m_pHandedOut);
    m_pHandedOut = pNew;
    return m_pHandedOut;
}
