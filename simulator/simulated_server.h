#pragma once

#include "instrument.h"
#include "server_object.h"

#include <cstdint>
#include <map>
#include <string>

// The simulated instrument behind IInstrumentServer: every operation brings the instrument up
// to the clock's time, passes the faults a test asked for, checks that the instrument can
// answer, then translates its records to and from the instrument model, which does the work.
// Returned blocks come from the task allocator; the error list stays with the instrument's
// error log. The operations are served one file per subsystem (simulated_server_*.cpp).
class CSimulatedInstrumentServer final : public CInstrumentServerObject {
public:
    // Reference count 1: the creator releases it. The clock and the memory outlive it.
    static CSimulatedInstrumentServer* Create(CSimClock& clock, CNonVolatileMemory& memory,
                                              std::string silkFolder = {});

#define ORVIX_SIM_OPERATION(name, params, args) HRESULT name params override;
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SIM_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_SIM_OPERATION
#undef ORVIX_SKIP_RESERVED

    CSimulatedInstrument& Instrument() {
        return m_instrument;
    }

    // Faults on demand. An operation set to fail answers the (negative) code without acting;
    // one set to hang blocks its caller that long before it acts. A code of 0 or a time of 0
    // clears it. A success code is refused: it would answer success without the out-values.
    static bool IsOperationName(const std::string& name);
    bool FailOperation(const std::string& name, HRESULT hr);
    bool HangOperation(const std::string& name, std::int64_t ms);
    void ClearFaults();

    const std::string& LastSilkFile() {
        return m_instrument.Silk().LastFile();
    }
    // Brings the instrument up to time and writes changed counters now and then; the serving
    // process calls it on a timer, every operation calls it too.
    void Tick() {
        m_instrument.Tick();
    }
    // The instrument's account of itself, with the faults asked for.
    std::string DescribeState();

private:
    // Where an operation is served: by the server whatever the instrument does, by the
    // instrument's loader as well as its firmware, or only by running firmware.
    enum class Access { Server, Loader, Firmware };

    CSimulatedInstrumentServer(CSimClock& clock, CNonVolatileMemory& memory,
                               std::string silkFolder);
    ~CSimulatedInstrumentServer() override = default;

    HRESULT Enter(const char* operation, Access access);

    CSimulatedInstrument m_instrument;
    std::map<std::string, HRESULT> m_failures;
    std::map<std::string, std::int64_t> m_hangs;
};

// Where every operation starts: the faults asked for, then the access the operation needs.
#define ORVIX_ENTER(access)                                                                        \
    if (const HRESULT hrEnter = Enter(__func__, Access::access); hrEnter != S_OK) {                \
        return hrEnter;                                                                            \
    }
