#include "simulated_operations.h"

HRESULT CSimulatedOperations::SetSeparationMethod(const SeparationMethod* pMethod) {
    if (pMethod == nullptr) {
        return E_POINTER;
    }
    return m_instrument.SetMethod(*pMethod);
}

HRESULT CSimulatedOperations::GetSeparationMethod(SeparationMethod** ppMethod) {
    if (ppMethod == nullptr) {
        return E_POINTER;
    }
    *ppMethod = m_instrument.Method().TaskAllocCopy();
    return *ppMethod == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedOperations::GoToInitialConditions() {
    return m_instrument.GoToInitialConditions();
}

HRESULT CSimulatedOperations::ChangeFlow(float fFlow, float fPercentA, float fPercentB,
                                         float fThird) {
    return m_instrument.Pumps().ChangeFlow(fFlow, fPercentA, fPercentB, fThird);
}

HRESULT CSimulatedOperations::ConditionColumn(float fValue, std::int32_t nArg) {
    return m_instrument.ConditionColumn(fValue, nArg != 0);
}

HRESULT CSimulatedOperations::Equilibrate(float fValue) {
    // Minutes at the method's initial conditions.
    return m_instrument.Equilibrate(fValue);
}

HRESULT CSimulatedOperations::HoldAndResumeFlow(std::int32_t nArg) {
    m_instrument.Pumps().SetHold(nArg != 0);
    return S_OK;
}
