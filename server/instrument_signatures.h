#pragma once

#include "instrument_server.h"
#include "instrument_wire.h"

#include <string>
#include <vector>

// The bus signature of an operation: its in-arguments, and its reply (the result code first).
struct OperationSignature {
    std::string name;
    std::string in;
    std::string out;
};

template <class... P>
OperationSignature SignatureOf(const char* name, HRESULT (IInstrumentServer::*)(P...)) {
    return {name, InSignature<P...>(), OutSignature<P...>()};
}

// Operations whose arrays take their length from another argument travel by hand.
OperationSignature SignatureOf(const char* name,
                               HRESULT (IInstrumentServer::*)(std::int32_t,
                                                              const PlateConfiguration*));
OperationSignature SignatureOf(const char* name,
                               HRESULT (IInstrumentServer::*)(std::int32_t, std::uint16_t*,
                                                              std::int32_t, std::uint16_t*));
OperationSignature
SignatureOf(const char* name,
            HRESULT (IInstrumentServer::*)(std::int32_t, std::int32_t, std::int32_t,
                                           const TransferDataBlock*, TransferDataBlock**));

// Every named operation, in slot order.
const std::vector<OperationSignature>& InstrumentOperationSignatures();
