#pragma once

#include "records.h"

#include <cstddef>
#include <deque>
#include <string>

// The instrument's pending errors, oldest first, until an initialisation clears them.
class CErrorLog {
public:
    CErrorLog() = default;
    CErrorLog(const CErrorLog&) = delete;
    CErrorLog& operator=(const CErrorLog&) = delete;
    ~CErrorLog();

    void Raise(std::string text);
    void Clear();
    bool Pending() const { return !m_texts.empty(); }
    const std::deque<std::string>& Texts() const { return m_texts; }

    // The list handed to ReadAllErrors callers. Its callers never free it, so the log keeps it:
    // the block is replaced at the next hand-out and freed with the log. With no errors pending
    // its first text is empty rather than null, since a caller may read it unconditionally.
    ErrorList* HandOut();

    // A firmware that keeps raising must not grow the log without bound.
    static constexpr std::size_t kMaxErrors = 32;

private:
    std::deque<std::string> m_texts;
    ErrorList* m_pHandedOut = nullptr;
};
