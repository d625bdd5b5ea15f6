#include "simulated_operations.h"

#include "out_pointers.h"
#include "record_memory.h"
#include "sim_refusals.h"

#include <algorithm>

namespace {

std::int32_t Saturated16(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, 65'535));
}

std::int32_t Clamped32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, INT32_MAX));
}

} // namespace

HRESULT CSimulatedOperations::WetPrimeSystem(std::int32_t nVolumes, std::int32_t nPumpMask) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartWetPrime(nVolumes, nPumpMask);
}

HRESULT CSimulatedOperations::DryPrimeSystem(std::int32_t nPumpMask, std::int32_t nCycles) {
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.Pumps().StartDryPrime(nPumpMask, nCycles);
}

HRESULT CSimulatedOperations::StopDryPrime() {
    return m_instrument.Pumps().StopDryPrime();
}

HRESULT CSimulatedOperations::SelectSolvent(std::int32_t nReservoir) {
    return m_instrument.Pumps().SelectSolvent(nReservoir);
}

HRESULT CSimulatedOperations::MoveSyringeValve(std::int32_t nValve, std::int32_t nPosition,
                                               std::int32_t* pnReply) {
    if (pnReply == nullptr) {
        return E_POINTER;
    }
    const HRESULT hr = m_instrument.Pumps().MoveSyringeValve(nValve, nPosition);
    if (SUCCEEDED(hr)) {
        *pnReply = nValve;
    }
    return hr;
}

HRESULT CSimulatedOperations::EnableSyringeData(std::int32_t nEnable) {
    if (nEnable != 0 && nEnable != 1) {
        return E_INVALIDARG;
    }
    m_instrument.EnableSyringeData(nEnable == 1);
    return S_OK;
}

HRESULT CSimulatedOperations::ReadSyringeData(std::int32_t nRecordCode, std::int32_t, std::int32_t,
                                              const TransferDataBlock*, TransferDataBlock** ppOut) {
    if (ppOut == nullptr) {
        return E_POINTER;
    }
    if (nRecordCode != kSyringeDataRecordCode) {
        return E_INVALIDARG;
    }
    if (!m_instrument.SyringeDataEnabled()) {
        return kHrSyringeDataNotEnabled;
    }
    const SyringeDataRecord record = m_instrument.Pumps().SyringeData();
    TransferDataBlock block{
        sizeof record,
        TaskAllocRecords(reinterpret_cast<const std::uint8_t*>(&record), sizeof record)};
    *ppOut = block.pData == nullptr ? nullptr : TaskAllocRecord(block);
    if (*ppOut == nullptr) {
        CoTaskMemFree(block.pData);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedOperations::GetSyringeUsage(std::int32_t nCount1, std::uint16_t* pUsage1,
                                              std::int32_t nCount2, std::uint16_t* pUsage2) {
    if (nCount1 < 0 || nCount2 < 0 || nCount1 > kSyringeCount || nCount2 > kSyringeCount) {
        return E_INVALIDARG;
    }
    if ((nCount1 > 0 && pUsage1 == nullptr) || (nCount2 > 0 && pUsage2 == nullptr)) {
        return E_POINTER;
    }
    const UsageCounters& usage = m_instrument.Nv().usage;
    for (std::size_t i = 0; i < static_cast<std::size_t>(nCount1); ++i) {
        pUsage1[i] = static_cast<std::uint16_t>(Saturated16(usage.syringeValve[i]));
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(nCount2); ++i) {
        pUsage2[i] = static_cast<std::uint16_t>(Saturated16(usage.pistonStrokes[i]));
    }
    return S_OK;
}

HRESULT CSimulatedOperations::GetAutoSamplerUsage(std::int32_t* pn1, std::int32_t* pn2,
                                                  std::int32_t* pn3, std::int32_t* pn4,
                                                  std::int32_t* pn5, std::int32_t* pn6,
                                                  std::int32_t* pn7) {
    if (!AllSet(pn1, pn2, pn3, pn4, pn5, pn6, pn7)) {
        return E_POINTER;
    }
    const UsageCounters& usage = m_instrument.Nv().usage;
    *pn1 = Clamped32(usage.injectorValve);
    *pn2 = Clamped32(usage.ventValve);
    *pn3 = Clamped32(usage.streamSelect);
    *pn4 = Clamped32(usage.sampleSyringeValve);
    *pn5 = Clamped32(usage.sampleSyringe);
    *pn6 = Clamped32(usage.powerOnMs / CSimulatedInstrument::kMsPerHour);
    *pn7 = Clamped32(usage.coolingOnMs / CSimulatedInstrument::kMsPerHour);
    return S_OK;
}

HRESULT CSimulatedOperations::ResetUsage(std::int32_t n1, std::int32_t n2, std::int32_t n3,
                                         std::int32_t n4, std::int32_t n5, std::int32_t n6,
                                         std::int32_t n7, std::int32_t n8, std::int32_t n9,
                                         std::int32_t n10) {
    m_instrument.ResetUsage(UsageReset{n1 != 0,
                                       n2 != 0,
                                       n3 != 0,
                                       n4 != 0,
                                       n5 != 0,
                                       n6 != 0,
                                       n7 != 0,
                                       {n8 != 0, n9 != 0, n10 != 0}});
    return S_OK;
}
