#pragma once

#include <cstdint>
#include <string>

// Result codes as the instrument server and the COM-like runtime report them: negative means
// failure, zero or positive is success (IsInstrumentReady answers 1 and that is not a failure).
using HRESULT = std::int32_t;

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

constexpr HRESULT MakeHResult(std::uint32_t value) {
    return static_cast<HRESULT>(value);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeHResult(0x80004001);
constexpr HRESULT E_NOINTERFACE = MakeHResult(0x80004002);
constexpr HRESULT E_POINTER = MakeHResult(0x80004003);
constexpr HRESULT E_FAIL = MakeHResult(0x80004005);
constexpr HRESULT E_UNEXPECTED = MakeHResult(0x8000FFFF);
constexpr HRESULT E_OUTOFMEMORY = MakeHResult(0x8007000E);
constexpr HRESULT E_INVALIDARG = MakeHResult(0x80070057);
constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHResult(0x80040110);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeHResult(0x800401F0);
constexpr HRESULT CO_E_SERVER_EXEC_FAILURE = MakeHResult(0x80080005);
constexpr HRESULT RPC_E_DISCONNECTED = MakeHResult(0x80010108);
constexpr HRESULT RPC_E_TIMEOUT = MakeHResult(0x8001011F);
constexpr HRESULT RPC_S_SERVER_UNAVAILABLE = MakeHResult(0x800706BA);
constexpr HRESULT RPC_X_BAD_STUB_DATA = MakeHResult(0x800706F7);

// The system's message text for a result code, worded as the platform words it; a code
// outside the table gets a generic text that names its hexadecimal value.
std::string SystemMessageText(HRESULT hr);

// "0x80040154"
std::string HResultHex(HRESULT hr);
