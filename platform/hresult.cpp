#include "hresult.h"

#include <array>
#include <cstdio>
#include <utility>

namespace {

struct MessageEntry {
    HRESULT code;
    const char* text;
};

constexpr std::array kMessages{
    MessageEntry{S_OK, "The operation completed successfully."},
    MessageEntry{S_FALSE, "Incorrect function."},
    MessageEntry{E_NOTIMPL, "Not implemented"},
    MessageEntry{E_NOINTERFACE, "No such interface supported"},
    MessageEntry{E_POINTER, "Invalid pointer"},
    MessageEntry{E_FAIL, "Unspecified error"},
    MessageEntry{E_UNEXPECTED, "Catastrophic failure"},
    MessageEntry{E_OUTOFMEMORY,
                 "Not enough memory resources are available to complete this operation."},
    MessageEntry{E_INVALIDARG, "The parameter is incorrect."},
    MessageEntry{CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is "
                                        "remote)"},
    MessageEntry{REGDB_E_CLASSNOTREG, "Class not registered"},
    MessageEntry{CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    MessageEntry{CO_E_SERVER_EXEC_FAILURE, "Server execution failed"},
    MessageEntry{RPC_E_DISCONNECTED, "The object invoked has disconnected from its clients."},
    MessageEntry{RPC_E_TIMEOUT, "This operation returned because the timeout period expired."},
    MessageEntry{RPC_S_SERVER_UNAVAILABLE, "The RPC server is unavailable."},
    MessageEntry{RPC_X_BAD_STUB_DATA, "The stub received bad data."},
};

} // namespace

std::string HResultHex(HRESULT hr) {
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "0x%08X", static_cast<unsigned>(hr));
    return buffer.data();
}

std::string SystemMessageText(HRESULT hr) {
    for (const auto& entry : kMessages) {
        if (entry.code == hr) {
            return entry.text;
        }
    }
    return "Unknown error " + HResultHex(hr);
}
