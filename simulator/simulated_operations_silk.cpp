#include "simulated_operations.h"

HRESULT CSimulatedOperations::StartSilk(std::int32_t nPumpMask) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartSilk(nPumpMask);
}

HRESULT CSimulatedOperations::UploadSilkData() {
    return m_instrument.Silk().Upload();
}

HRESULT CSimulatedOperations::DownloadSilkData(const char* pszPath) {
    if (pszPath == nullptr) {
        return E_POINTER;
    }
    return m_instrument.Silk().Download(pszPath);
}

HRESULT CSimulatedOperations::ResetSilk() {
    m_instrument.Silk().Reset();
    return S_OK;
}

HRESULT CSimulatedOperations::GetSilkWriteToDisk(std::int32_t* pnSwitch) {
    if (pnSwitch == nullptr) {
        return E_POINTER;
    }
    *pnSwitch = m_instrument.Silk().WriteToDisk() ? 1 : 0;
    return S_OK;
}

HRESULT CSimulatedOperations::SetSilkWriteToDisk(std::int32_t nSwitch) {
    if (nSwitch != 0 && nSwitch != 1) {
        return E_INVALIDARG;
    }
    m_instrument.Silk().SetWriteToDisk(nSwitch == 1);
    return S_OK;
}
