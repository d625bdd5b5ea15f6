#pragma once

// The command that the calls made during this object's life come from, for the history entries
// that name it: a string-table format that takes the call's arguments. Origins nest; the
// innermost one counts.
class CCallOrigin {
public:
    explicit CCallOrigin(int wordsId);
    ~CCallOrigin();
    CCallOrigin(const CCallOrigin&) = delete;
    CCallOrigin& operator=(const CCallOrigin&) = delete;

    // The innermost origin's words, or 0 outside every origin.
    static int Current();

private:
    int m_outer;
};
