#include "instrument_forwarder.h"

#include "hresult.h"

CInstrumentServerForwarder::CInstrumentServerForwarder(IInstrumentServer* target)
    : CInstrumentServerDecorator(target), m_createdMs(CConnectionTracker::SystemClock()) {}

HRESULT CInstrumentServerForwarder::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IInstrumentConnection) {
        *ppvObject = static_cast<IInstrumentConnection*>(this);
        AddRef();
        return S_OK;
    }
    if (riid == IID_IInstrumentReconnect) {
        *ppvObject = static_cast<IInstrumentReconnect*>(this);
        AddRef();
        return S_OK;
    }
    return CInstrumentServerDecorator::QueryInterface(riid, ppvObject);
}

ULONG CInstrumentServerForwarder::AddRef() {
    return CInstrumentServerDecorator::AddRef();
}

ULONG CInstrumentServerForwarder::Release() {
    return CInstrumentServerDecorator::Release();
}

HRESULT CInstrumentServerForwarder::GetConnectionState(ConnectionState* pState,
                                                       std::int64_t* pSinceMs) {
    if (pState == nullptr || pSinceMs == nullptr) {
        return E_POINTER;
    }
    if (Target() == nullptr) {
        *pState = ConnectionState::ServerGone;
        *pSinceMs = m_createdMs;
        return S_OK;
    }
    IInstrumentConnection* pConnection = nullptr;
    if (FAILED(QueryTarget(IID_IInstrumentConnection, reinterpret_cast<void**>(&pConnection)))) {
        *pState = ConnectionState::Connected;
        *pSinceMs = m_createdMs;
        return S_OK;
    }
    const HRESULT hr = pConnection->GetConnectionState(pState, pSinceMs);
    pConnection->Release();
    return hr;
}

HRESULT CInstrumentServerForwarder::RequestReconnect() {
    if (m_onReconnect) {
        m_onReconnect();
    }
    return S_OK;
}

HRESULT CInstrumentServerForwarder::Pass(const COperationCall& call) {
    if (call.Info().kind == OperationKind::Session) {
        m_session.Remember(call);
    }
    return CInstrumentServerDecorator::Pass(call);
}

void RequestServerReconnect(IInstrumentServer* server) {
    IInstrumentReconnect* pReconnect = nullptr;
    if (server == nullptr ||
        FAILED(server->QueryInterface(IID_IInstrumentReconnect,
                                      reinterpret_cast<void**>(&pReconnect)))) {
        return;
    }
    pReconnect->RequestReconnect();
    pReconnect->Release();
}
