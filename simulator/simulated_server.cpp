#include "simulated_server.h"

#include "hresult.h"
#include "sim_refusals.h"

#include <chrono>
#include <sstream>
#include <thread>

CSimulatedInstrumentServer* CSimulatedInstrumentServer::Create(CSimClock& clock,
                                                               CNonVolatileMemory& memory,
                                                               std::string silkFolder) {
    CSimulatedOperations* operations =
        CSimulatedOperations::Create(clock, memory, std::move(silkFolder));
    auto* server = new CSimulatedInstrumentServer(operations);
    operations->Release();
    return server;
}

CSimulatedInstrumentServer::CSimulatedInstrumentServer(CSimulatedOperations* operations)
    : CInstrumentServerDecorator(operations), m_pOperations(operations) {}

bool CSimulatedInstrumentServer::IsOperationName(const std::string& name) {
    return FindOperation(name) != nullptr;
}

bool CSimulatedInstrumentServer::FailOperation(const std::string& name, HRESULT hr) {
    const OperationInfo* operation = FindOperation(name);
    if (operation == nullptr || hr > 0) {
        return false;
    }
    if (hr == S_OK) {
        m_failures.erase(operation->slot);
    } else {
        m_failures[operation->slot] = hr;
    }
    return true;
}

bool CSimulatedInstrumentServer::HangOperation(const std::string& name, std::int64_t ms) {
    const OperationInfo* operation = FindOperation(name);
    if (operation == nullptr || ms < 0) {
        return false;
    }
    if (ms == 0) {
        m_hangs.erase(operation->slot);
    } else {
        m_hangs[operation->slot] = ms;
    }
    return true;
}

void CSimulatedInstrumentServer::ClearFaults() {
    m_failures.clear();
    m_hangs.clear();
}

HRESULT CSimulatedInstrumentServer::Pass(const COperationCall& call) {
    const HRESULT hr = Enter(call.Info());
    return hr == S_OK ? CInstrumentServerDecorator::Pass(call) : hr;
}

HRESULT CSimulatedInstrumentServer::Enter(const OperationInfo& operation) {
    Tick();
    CSimulatedInstrument& instrument = Instrument();
    if (const auto hang = m_hangs.find(operation.slot); hang != m_hangs.end()) {
        // Deliberately blocks the whole server, as a hung instrument link would.
        std::this_thread::sleep_for(std::chrono::milliseconds(hang->second));
        instrument.Sync();
    }
    if (const auto failure = m_failures.find(operation.slot); failure != m_failures.end()) {
        return failure->second;
    }
    switch (operation.access) {
    case OperationAccess::Server:
        return S_OK;
    case OperationAccess::Loader:
        return instrument.Answering() ? S_OK : kHrInstrumentNotReady;
    case OperationAccess::Firmware:
        return instrument.Answering() && !instrument.Firmware().InLoader() ? S_OK
                                                                           : kHrInstrumentNotReady;
    }
    return E_UNEXPECTED;
}

std::string CSimulatedInstrumentServer::DescribeState() {
    std::ostringstream out;
    out << Instrument().Describe();
    for (const auto& [slot, hr] : m_failures) {
        out << "fault: " << OperationAt(slot).name << " fails with " << HResultHex(hr) << "\n";
    }
    for (const auto& [slot, ms] : m_hangs) {
        out << "fault: " << OperationAt(slot).name << " hangs " << ms << " ms\n";
    }
    return out.str();
}
