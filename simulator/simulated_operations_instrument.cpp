#include "simulated_operations.h"

#include "out_pointers.h"
#include "record_memory.h"

#include <string_view>

#ifndef ORVIX_VERSION_TEXT
#define ORVIX_VERSION_TEXT "1.0.0"
#endif

namespace {

// Serial numbers are one line of printable text; anything else is replaced.
std::string PrintableLine(const char* psz) {
    std::string text(psz);
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            c = ' ';
        }
    }
    return text;
}

} // namespace

HRESULT CSimulatedOperations::InitializeInstrument(std::int32_t, std::int32_t) {
    m_instrument.Initialize();
    return S_OK;
}

// Opens the link only: a second client, a report or a reconnect finds the instrument as it was,
// its errors, state and flow included. The instrument initialises itself when it powers up.
HRESULT CSimulatedOperations::OpenConnection(std::int32_t, std::int32_t) {
    return S_OK;
}

HRESULT CSimulatedOperations::ReadStatus(InstrumentStatus** ppStatus) {
    if (ppStatus == nullptr) {
        return E_POINTER;
    }
    InstrumentStatus status = m_instrument.Status();
    status.pszStatusMessage = TaskAllocText(m_instrument.StatusMessage());
    *ppStatus = status.pszStatusMessage == nullptr ? nullptr : TaskAllocRecord(status);
    if (*ppStatus == nullptr) {
        CoTaskMemFree(status.pszStatusMessage);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::ReadAllErrors(std::int32_t, std::int32_t* pnErrors,
                                            ErrorList** ppList) {
    if (!AllSet(pnErrors, ppList)) {
        return E_POINTER;
    }
    *ppList = m_instrument.Errors().HandOut();
    if (*ppList == nullptr) {
        return E_OUTOFMEMORY;
    }
    *pnErrors = static_cast<std::int32_t>(m_instrument.Errors().Texts().size());
    return S_OK;
}

HRESULT CSimulatedOperations::LaunchDiagnostics() {
    return m_instrument.LaunchDiagnostics();
}

HRESULT CSimulatedOperations::GetVersions(float* pfAutoSampler, BSTR* pbstrPump,
                                          BSTR* pbstrClient) {
    if (!AllSet(pfAutoSampler, pbstrPump, pbstrClient)) {
        return E_POINTER;
    }
    BSTR pump = BstrFromUtf8(m_instrument.Firmware().PumpVersion());
    BSTR client = BstrFromUtf8(ORVIX_VERSION_TEXT);
    if (pump == nullptr || client == nullptr) {
        SysFreeString(pump);
        SysFreeString(client);
        return E_OUTOFMEMORY;
    }
    *pfAutoSampler = m_instrument.Firmware().AutoSamplerVersion();
    *pbstrPump = pump;
    *pbstrClient = client;
    return S_OK;
}

HRESULT
CSimulatedOperations::GetInstrumentConfiguration(InstrumentConfiguration** ppConfiguration) {
    if (ppConfiguration == nullptr) {
        return E_POINTER;
    }
    const StoredConfiguration& c = m_instrument.Nv().configuration;
    InstrumentConfiguration record{c.fSampleLoopVolume,
                                   c.nSyringeSize,
                                   c.fReserved8,
                                   TaskAllocText(c.serialNumber),
                                   c.fNeedleVolume,
                                   c.bPumpCInstalled ? 1 : 0,
                                   c.bSampleTemp ? 1 : 0,
                                   c.bTernaryGradient ? 1 : 0,
                                   c.bManualInjectValve ? 1 : 0,
                                   c.bPlateFeeder ? 1 : 0,
                                   c.nReserved40,
                                   c.nReserved44};
    *ppConfiguration = record.pszSerialNumber == nullptr ? nullptr : TaskAllocRecord(record);
    if (*ppConfiguration == nullptr) {
        CoTaskMemFree(record.pszSerialNumber);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT
CSimulatedOperations::SetInstrumentConfiguration(const InstrumentConfiguration* pConfiguration) {
    if (pConfiguration == nullptr) {
        return E_POINTER;
    }
    const InstrumentConfiguration& in = *pConfiguration;
    StoredConfiguration c = m_instrument.Nv().configuration;
    c.fSampleLoopVolume = in.fSampleLoopVolume;
    c.nSyringeSize = in.nSyringeSize;
    c.fReserved8 = in.fReserved8;
    // The serial number is the instrument's own: the client sends "None" and cannot change it.
    if (in.pszSerialNumber != nullptr && std::string_view(in.pszSerialNumber) != "None" &&
        *in.pszSerialNumber != '\0') {
        c.serialNumber = PrintableLine(in.pszSerialNumber);
    }
    c.fNeedleVolume = in.fNeedleVolume;
    c.bPumpCInstalled = in.bPumpCInstalled != 0;
    c.bSampleTemp = in.bSampleTemp != 0;
    c.bTernaryGradient = in.bTernaryGradient != 0;
    c.bManualInjectValve = in.bManualInjectValve != 0;
    c.bPlateFeeder = in.bPlateFeeder != 0;
    c.nReserved40 = in.nReserved40;
    c.nReserved44 = in.nReserved44;
    return m_instrument.Configure(c);
}
