#include "instrument_decorator.h"

#include "hresult.h"

namespace {

// Holds the current target for the length of one call, so that a replacement made meanwhile
// cannot pull it away under the call.
class CTargetRef {
public:
    explicit CTargetRef(IInstrumentServer* target) : m_pTarget(target) {
        if (m_pTarget != nullptr) {
            m_pTarget->AddRef();
        }
    }
    ~CTargetRef() {
        if (m_pTarget != nullptr) {
            m_pTarget->Release();
        }
    }
    CTargetRef(const CTargetRef&) = delete;
    CTargetRef& operator=(const CTargetRef&) = delete;

    IInstrumentServer* Get() const { return m_pTarget; }

private:
    IInstrumentServer* m_pTarget;
};

} // namespace

CInstrumentServerDecorator::CInstrumentServerDecorator(IInstrumentServer* target) {
    Replace(target);
}

CInstrumentServerDecorator::~CInstrumentServerDecorator() {
    Replace(nullptr);
}

void CInstrumentServerDecorator::Replace(IInstrumentServer* target) {
    if (target != nullptr) {
        target->AddRef();
    }
    IInstrumentServer* previous = m_pTarget;
    m_pTarget = target;
    if (previous != nullptr) {
        previous->Release();
    }
}

HRESULT CInstrumentServerDecorator::QueryInterface(REFIID riid, void** ppvObject) {
    const HRESULT hr = CInstrumentServerObject::QueryInterface(riid, ppvObject);
    if (hr != E_NOINTERFACE) {
        return hr;
    }
    return QueryTarget(riid, ppvObject);
}

HRESULT CInstrumentServerDecorator::QueryTarget(REFIID riid, void** ppvObject) {
    const CTargetRef target(m_pTarget);
    return target.Get() != nullptr ? target.Get()->QueryInterface(riid, ppvObject) : E_NOINTERFACE;
}

HRESULT CInstrumentServerDecorator::Pass(const COperationCall& call) {
    const CTargetRef target(m_pTarget);
    return target.Get() != nullptr ? call.On(*target.Get()) : RPC_E_DISCONNECTED;
}
