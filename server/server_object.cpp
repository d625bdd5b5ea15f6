#include "server_object.h"

HRESULT CInstrumentServerObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IInstrumentServer) {
        *ppvObject = static_cast<IInstrumentServer*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG CInstrumentServerObject::AddRef() {
    return ++m_refs;
}

ULONG CInstrumentServerObject::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

HRESULT CInstrumentServerObject::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_POINTER;
    }
    *pctinfo = 0;
    return S_OK;
}

HRESULT CInstrumentServerObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo != nullptr) {
        *ppTInfo = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT CInstrumentServerObject::GetIDsOfNames(REFIID, char16_t**, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT CInstrumentServerObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                        EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

#define ORVIX_DEFINE_RESERVED(slot)                                                                \
    HRESULT CInstrumentServerObject::Reserved##slot() {                                            \
        return E_NOTIMPL;                                                                          \
    }
#define ORVIX_SKIP_OPERATION(...)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SKIP_OPERATION, ORVIX_DEFINE_RESERVED)
#undef ORVIX_SKIP_OPERATION
#undef ORVIX_DEFINE_RESERVED
