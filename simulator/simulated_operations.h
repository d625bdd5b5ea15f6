#pragma once

#include "instrument.h"
#include "server_object.h"

#include <cstdint>
#include <optional>
#include <string>

// The simulated instrument's operations: each acts on the subsystem it belongs to. Whether the
// instrument can answer at all is the gate's business (CSimulatedInstrumentServer), which every
// call passes first. Returned blocks come from the task allocator; the error list stays with
// the instrument's error log.
class CSimulatedOperations final : public CInstrumentServerObject {
public:
    // Reference count 1: the creator releases it. The clock and the memory outlive it.
    static CSimulatedOperations* Create(CSimClock& clock, CNonVolatileMemory& memory,
                                        std::string silkFolder);

#define ORVIX_SIM_OPERATION(slot, name, kind, access, params, args, bus)                           \
    HRESULT name params override;
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SIM_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_SIM_OPERATION
#undef ORVIX_SKIP_RESERVED

    CSimulatedInstrument& Instrument() {
        return m_instrument;
    }
    const std::string& SilkFolder() const {
        return m_silkFolder;
    }
    const std::string& LastSilkFile() const {
        return m_lastSilkFile;
    }
    // Commits the non-volatile memory when it changed; a failure becomes an instrument error.
    // With force, writes even an unchanged state, such as defaults over a damaged file.
    void CommitMemory(bool force = false);
    // Brings the instrument up to time and writes changed counters now and then.
    void Tick();
    static constexpr std::int64_t kCounterCommitMs = 10'000;
    // A readable account of the whole instrument.
    std::string DescribeState();

private:
    CSimulatedOperations(CSimClock& clock, CNonVolatileMemory& memory, std::string silkFolder);
    ~CSimulatedOperations() override;

    void OnSilkDone(std::int32_t pumpMask);
    std::optional<std::string> UploadSilk();

    CNonVolatileMemory& m_memory;
    CSimulatedInstrument m_instrument;
    std::string m_silkFolder;
    std::string m_lastSilkFile;
    std::int64_t m_lastCommitMs = 0;
    // The pumps send their syringe record only once the client asked for it.
    bool m_syringeDataEnabled = false;
};
