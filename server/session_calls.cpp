#include "session_calls.h"

#include <algorithm>

void CSessionCalls::Remember(const COperationCall& call) {
    COperationCall::Replay replay = call.Keep();
    if (!replay) {
        return;
    }
    const int slot = call.Info().slot;
    const auto kept =
        std::find_if(m_calls.begin(), m_calls.end(), [&](const Kept& k) { return k.slot == slot; });
    if (kept != m_calls.end()) {
        kept->replay = std::move(replay);
    } else {
        m_calls.push_back({slot, std::move(replay)});
    }
}

void CSessionCalls::ReplayOn(IInstrumentServer& server) const {
    // A copy: the server may be the very chain that remembers them, which calls Remember.
    const std::vector<Kept> calls = m_calls;
    for (const Kept& kept : calls) {
        kept.replay(server);
    }
}
