#pragma once

#include "hresult.h"
#include "unknown.h"

#include <QObject>

#include <functional>
#include <utility>

constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003);
constexpr HRESULT DISP_E_UNKNOWNNAME = MakeHResult(0x80020006);

// The client's document. It holds no instrument data: it exists so that the frame and the
// status view have a document, and as the automation object that other programs create. Its
// dispatch interface exposes no properties and no methods. While it exists it holds a lock on
// the application.
//
// Lifetime: it starts with one reference, which belongs to whoever asked the template for it
// (an automation client, or the application for the document the user works in). The last
// Release closes it; closing the application's documents closes it whatever its count.
class COrvixClientDoc : public QObject, public IDispatch {
    Q_OBJECT
public:
    COrvixClientDoc();
    ~COrvixClientDoc() override;

    COrvixClientDoc(const COrvixClientDoc&) = delete;
    COrvixClientDoc& operator=(const COrvixClientDoc&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, char16_t** rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

    // A new, empty document: there is nothing to load and nothing to reset.
    virtual bool OnNewDocument();

    // Closes the document's frame (with its view) and deletes the document.
    void OnCloseDocument();

    // Told as the document closes, before it is deleted; the template that made it lets its frame
    // go then.
    void SetCloseHandler(std::function<void(COrvixClientDoc*)> onClose) {
        m_onClose = std::move(onClose);
    }
    ULONG RefCount() const { return m_refs; }

private:
    ULONG m_refs = 1;
    bool m_closing = false;
    std::function<void(COrvixClientDoc*)> m_onClose;
};
