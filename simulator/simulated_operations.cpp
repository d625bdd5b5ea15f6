#include "simulated_operations.h"

CSimulatedOperations* CSimulatedOperations::Create(CSimClock& clock, CNonVolatileMemory& memory,
                                                   std::string silkFolder) {
    return new CSimulatedOperations(clock, memory, std::move(silkFolder));
}

CSimulatedOperations::CSimulatedOperations(CSimClock& clock, CNonVolatileMemory& memory,
                                           std::string silkFolder)
    : m_instrument(clock, memory, std::move(silkFolder)) {}
