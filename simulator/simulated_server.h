#pragma once

#include "instrument.h"
#include "server_object.h"

#include <cstdint>
#include <map>
#include <string>

// The simulated instrument behind IInstrumentServer: every operation brings the instrument up
// to the clock's time, passes the faults a test asked for, checks that the instrument can
// answer, then acts on the subsystem it belongs to. Returned blocks come from the task
// allocator; the error list stays with the instrument's error log.
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

    const std::string& SilkFolder() const {
        return m_silkFolder;
    }
    const std::string& LastSilkFile() const {
        return m_lastSilkFile;
    }
    // Commits the non-volatile memory when it changed; a failure becomes an instrument error.
    // With force, writes even an unchanged state, such as defaults over a damaged file.
    void CommitMemory(bool force = false);
    // Brings the instrument up to time and writes changed counters now and then; the serving
    // process calls it on a timer, every operation calls it too.
    void Tick();
    static constexpr std::int64_t kCounterCommitMs = 10'000;
    // A readable account of the whole instrument, for people and test logs.
    std::string DescribeState();

private:
    // Where an operation is served: by the server whatever the instrument does, by the
    // instrument's loader as well as its firmware, or only by running firmware.
    enum class Access { Server, Loader, Firmware };

    CSimulatedInstrumentServer(CSimClock& clock, CNonVolatileMemory& memory,
                               std::string silkFolder);
    ~CSimulatedInstrumentServer() override;

    HRESULT Enter(const char* operation, Access access);
    void OnSilkDone(std::int32_t pumpMask);
    std::optional<std::string> UploadSilk();

    CNonVolatileMemory& m_memory;
    CSimulatedInstrument m_instrument;
    std::string m_silkFolder;
    std::string m_lastSilkFile;
    std::int64_t m_lastCommitMs = 0;
    std::map<std::string, HRESULT> m_failures;
    std::map<std::string, std::int64_t> m_hangs;
    // The pumps send their syringe record only once the client asked for it.
    bool m_syringeDataEnabled = false;
};
