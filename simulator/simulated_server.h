#pragma once

#include "instrument_decorator.h"
#include "simulated_operations.h"

#include <cstdint>
#include <map>
#include <string>

// The simulated instrument behind IInstrumentServer: every call brings the instrument up to the
// clock's time, passes the faults a test asked for and the access its row in the contract
// needs (the server alone, the instrument's loader, or its running firmware), then reaches the
// operations.
class CSimulatedInstrumentServer final : public CInstrumentServerDecorator {
public:
    // Reference count 1: the creator releases it. The clock and the memory outlive it.
    static CSimulatedInstrumentServer* Create(CSimClock& clock, CNonVolatileMemory& memory,
                                              std::string silkFolder = {});

    CSimulatedInstrument& Instrument() { return m_pOperations->Instrument(); }

    // Faults on demand. An operation set to fail answers the (negative) code without acting;
    // one set to hang blocks its caller that long before it acts. A code of 0 or a time of 0
    // clears it. A success code is refused: it would answer success without the out-values.
    static bool IsOperationName(const std::string& name);
    bool FailOperation(const std::string& name, HRESULT hr);
    bool HangOperation(const std::string& name, std::int64_t ms);
    void ClearFaults();

    const std::string& LastSilkFile() { return Instrument().Silk().LastFile(); }
    // Brings the instrument up to time and writes changed counters now and then; the serving
    // process calls it on a timer, every operation calls it too.
    void Tick() { Instrument().Tick(); }
    // The instrument's account of itself, with the faults asked for.
    std::string DescribeState();

private:
    explicit CSimulatedInstrumentServer(CSimulatedOperations* operations);
    ~CSimulatedInstrumentServer() override = default;

    HRESULT Pass(const COperationCall& call) override;
    HRESULT Enter(const OperationInfo& operation);

    // The target, which the decorator holds.
    CSimulatedOperations* m_pOperations;
    // Keyed by slot.
    std::map<int, HRESULT> m_failures;
    std::map<int, std::int64_t> m_hangs;
};
