#pragma once

#include "instrument_contract.h"
#include "unknown.h"

#include <cstdint>

// The constant pair that OpenConnection and InitializeInstrument always take.
constexpr std::int32_t kConnectArg1 = 4;
constexpr std::int32_t kConnectArg2 = 1;

// The instrument server's dual interface. Exactly the COM layout: no destructor, no data.
// NOLINTBEGIN(cppcoreguidelines-virtual-class-destructor)
struct IInstrumentServer : IDispatch {
#define ORVIX_DECLARE_OPERATION(slot, name, kind, access, params, args, bus)                       \
    virtual HRESULT name params = 0;
#define ORVIX_DECLARE_RESERVED(slot) virtual HRESULT Reserved##slot() = 0;
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DECLARE_OPERATION, ORVIX_DECLARE_RESERVED)
#undef ORVIX_DECLARE_OPERATION
#undef ORVIX_DECLARE_RESERVED
};
// NOLINTEND(cppcoreguidelines-virtual-class-destructor)

// The one connection to the instrument server, set at start-up and released at shutdown.
extern IInstrumentServer* g_pServer;
