#include "orvix_client_doc.h"

#include "app_lock.h"

COrvixClientDoc::COrvixClientDoc() {
    LockApp();
}

COrvixClientDoc::~COrvixClientDoc() {
    UnlockApp();
}

HRESULT COrvixClientDoc::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IOrvixClientDocument) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG COrvixClientDoc::AddRef() {
    return ++m_refs;
}

ULONG COrvixClientDoc::Release() {
    if (m_refs == 0) {
        return 0;
    }
    const ULONG refs = --m_refs;
    if (refs == 0) {
        OnCloseDocument();
    }
    return refs;
}

HRESULT COrvixClientDoc::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_POINTER;
    }
    *pctinfo = 0;
    return S_OK;
}

HRESULT COrvixClientDoc::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo != nullptr) {
        *ppTInfo = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT COrvixClientDoc::GetIDsOfNames(REFIID, char16_t**, UINT cNames, LCID, DISPID* rgDispId) {
    if (rgDispId != nullptr) {
        for (UINT i = 0; i < cNames; ++i) {
            rgDispId[i] = -1;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT COrvixClientDoc::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

bool COrvixClientDoc::OnNewDocument() {
    return true;
}

void COrvixClientDoc::OnCloseDocument() {
    if (m_closing) {
        return;
    }
    m_closing = true;
    if (m_onClose) {
        m_onClose(this);
    }
    delete this;
}
