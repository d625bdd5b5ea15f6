#include "simulated_server.h"

#include "sim_refusals.h"

#include <algorithm>
#include <chrono>
#include <sstream>
#include <thread>

CSimulatedInstrumentServer* CSimulatedInstrumentServer::Create(CSimClock& clock,
                                                               CNonVolatileMemory& memory,
                                                               std::string silkFolder) {
    return new CSimulatedInstrumentServer(clock, memory, std::move(silkFolder));
}

CSimulatedInstrumentServer::CSimulatedInstrumentServer(CSimClock& clock, CNonVolatileMemory& memory,
                                                       std::string silkFolder)
    : m_instrument(clock, memory, std::move(silkFolder)) {}

bool CSimulatedInstrumentServer::IsOperationName(const std::string& name) {
#define ORVIX_SIM_NAME(op, params, args) #op,
#define ORVIX_SKIP_RESERVED(slot)
    static const char* const kNames[] = {
        ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SIM_NAME, ORVIX_SKIP_RESERVED)};
#undef ORVIX_SIM_NAME
#undef ORVIX_SKIP_RESERVED
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

bool CSimulatedInstrumentServer::FailOperation(const std::string& name, HRESULT hr) {
    if (!IsOperationName(name) || hr > 0) {
        return false;
    }
    if (hr == S_OK) {
        m_failures.erase(name);
    } else {
        m_failures[name] = hr;
    }
    return true;
}

bool CSimulatedInstrumentServer::HangOperation(const std::string& name, std::int64_t ms) {
    if (!IsOperationName(name) || ms < 0) {
        return false;
    }
    if (ms == 0) {
        m_hangs.erase(name);
    } else {
        m_hangs[name] = ms;
    }
    return true;
}

void CSimulatedInstrumentServer::ClearFaults() {
    m_failures.clear();
    m_hangs.clear();
}

HRESULT CSimulatedInstrumentServer::Enter(const char* operation, Access access) {
    Tick();
    if (const auto hang = m_hangs.find(operation); hang != m_hangs.end()) {
        // Deliberately blocks the whole server, as a hung instrument link would.
        std::this_thread::sleep_for(std::chrono::milliseconds(hang->second));
        m_instrument.Sync();
    }
    if (const auto failure = m_failures.find(operation); failure != m_failures.end()) {
        return failure->second;
    }
    switch (access) {
    case Access::Server:
        return S_OK;
    case Access::Loader:
        return m_instrument.Answering() ? S_OK : kHrInstrumentNotReady;
    case Access::Firmware:
        return m_instrument.Answering() && !m_instrument.Firmware().InLoader()
                   ? S_OK
                   : kHrInstrumentNotReady;
    }
    return E_UNEXPECTED;
}

std::string CSimulatedInstrumentServer::DescribeState() {
    std::ostringstream out;
    out << m_instrument.Describe();
    for (const auto& [name, hr] : m_failures) {
        out << "fault: " << name << " fails with " << HResultHex(hr) << "\n";
    }
    for (const auto& [name, ms] : m_hangs) {
        out << "fault: " << name << " hangs " << ms << " ms\n";
    }
    return out.str();
}
