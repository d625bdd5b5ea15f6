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

// The signature of an operation's successful reply; a failure answers its result code alone.
template <class... P> const std::string& ReplySignature(HRESULT (IInstrumentServer::*)(P...)) {
    static const std::string kSignature = OutSignature<P...>();
    return kSignature;
}

// Every named operation, in slot order.
const std::vector<OperationSignature>& InstrumentOperationSignatures();
