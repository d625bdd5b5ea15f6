#include "simulated_server.h"

HRESULT CSimulatedInstrumentServer::StartSilk(std::int32_t nPumpMask) {
    ORVIX_ENTER(Firmware)
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartSilk(nPumpMask);
}

HRESULT CSimulatedInstrumentServer::UploadSilkData() {
    ORVIX_ENTER(Firmware)
    return m_instrument.Silk().Upload();
}

HRESULT CSimulatedInstrumentServer::DownloadSilkData(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    return m_instrument.Silk().Download(pszPath);
}

HRESULT CSimulatedInstrumentServer::ResetSilk() {
    ORVIX_ENTER(Firmware)
    m_instrument.Silk().Reset();
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::GetSilkWriteToDisk(std::int32_t* pnSwitch) {
    if (pnSwitch == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Server)
    *pnSwitch = m_instrument.Silk().WriteToDisk() ? 1 : 0;
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::SetSilkWriteToDisk(std::int32_t nSwitch) {
    ORVIX_ENTER(Server)
    if (nSwitch != 0 && nSwitch != 1) {
        return E_INVALIDARG;
    }
    m_instrument.Silk().SetWriteToDisk(nSwitch == 1);
    return S_OK;
}
