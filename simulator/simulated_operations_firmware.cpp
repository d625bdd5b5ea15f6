#include "simulated_operations.h"

HRESULT CSimulatedOperations::PrepareSoftwareUpgrade() {
    m_instrument.Pumps().PowerDown();
    m_instrument.AutoSampler().PowerDown();
    m_instrument.Firmware().PrepareUpgrade();
    return S_OK;
}

HRESULT CSimulatedOperations::DownloadSoftware(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    return m_instrument.Firmware().Download(pszPath);
}

HRESULT CSimulatedOperations::IsInstrumentReady() {
    return m_instrument.Answering() ? S_OK : S_FALSE;
}

HRESULT CSimulatedOperations::GetDownloadProgress(std::int32_t* pnLines) {
    if (pnLines == nullptr) {
        return E_POINTER;
    }
    *pnLines = m_instrument.Firmware().LinesSent();
    return S_OK;
}
