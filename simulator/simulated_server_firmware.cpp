#include "simulated_server.h"

HRESULT CSimulatedInstrumentServer::PrepareSoftwareUpgrade() {
    ORVIX_ENTER(Loader)
    m_instrument.Pumps().PowerDown();
    m_instrument.AutoSampler().PowerDown();
    m_instrument.Firmware().PrepareUpgrade();
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::DownloadSoftware(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Loader)
    return m_instrument.Firmware().Download(pszPath);
}

HRESULT CSimulatedInstrumentServer::IsInstrumentReady() {
    ORVIX_ENTER(Server)
    return m_instrument.Answering() ? S_OK : S_FALSE;
}

HRESULT CSimulatedInstrumentServer::GetDownloadProgress(std::int32_t* pnLines) {
    if (pnLines == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Server)
    *pnLines = m_instrument.Firmware().LinesSent();
    return S_OK;
}
