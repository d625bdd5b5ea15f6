#include "simulated_server.h"

HRESULT CSimulatedInstrumentServer::SetSeparationMethod(const SeparationMethod* pMethod) {
    if (pMethod == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    return m_instrument.SetMethod(*pMethod);
}

HRESULT CSimulatedInstrumentServer::GetSeparationMethod(SeparationMethod** ppMethod) {
    if (ppMethod == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    *ppMethod = m_instrument.Method().TaskAllocCopy();
    return *ppMethod == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedInstrumentServer::GoToInitialConditions() {
    ORVIX_ENTER(Firmware)
    return m_instrument.GoToInitialConditions();
}

HRESULT CSimulatedInstrumentServer::ChangeFlow(float fFlow, float fPercentA, float fPercentB,
                                               float fThird) {
    ORVIX_ENTER(Firmware)
    return m_instrument.Pumps().ChangeFlow(fFlow, fPercentA, fPercentB, fThird);
}

HRESULT CSimulatedInstrumentServer::ConditionColumn(float fValue, std::int32_t nArg) {
    ORVIX_ENTER(Firmware)
    return m_instrument.ConditionColumn(fValue, nArg != 0);
}

HRESULT CSimulatedInstrumentServer::Equilibrate(float fValue) {
    ORVIX_ENTER(Firmware)
    // Minutes at the method's initial conditions.
    return m_instrument.Equilibrate(fValue);
}

HRESULT CSimulatedInstrumentServer::HoldAndResumeFlow(std::int32_t nArg) {
    ORVIX_ENTER(Firmware)
    m_instrument.Pumps().SetHold(nArg != 0);
    return S_OK;
}
