#pragma once

#include "instrument.h"
#include "server_object.h"

#include <string>

// The simulated instrument's operations: each translates its records to and from the
// instrument model, which does the work. Whether the instrument can answer at all is the
// gate's business (CSimulatedInstrumentServer), which every call passes first. Returned blocks
// come from the task allocator; the error list stays with the instrument's error log. The
// operations are served one file per subsystem (simulated_operations_*.cpp).
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

private:
    CSimulatedOperations(CSimClock& clock, CNonVolatileMemory& memory, std::string silkFolder);
    ~CSimulatedOperations() override = default;

    CSimulatedInstrument m_instrument;
};
