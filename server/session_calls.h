#pragma once

#include "instrument_decorator.h"

#include <vector>

// What this client told the server to keep for it (the Session operations): the last call of
// each, in the order they were first made. Making them again brings a new server process to
// where the old one was.
class CSessionCalls {
public:
    void Remember(const COperationCall& call);
    void ReplayOn(IInstrumentServer& server) const;

private:
    struct Kept {
        int slot;
        COperationCall::Replay replay;
    };
    std::vector<Kept> m_calls;
};
