#pragma once

#include "instrument_server.h"

#include <atomic>

// An IInstrumentServer that hands every call to another one, unchanged: the base of servers
// that add something to the calls. It keeps a reference to the one below for its whole life.
// Interfaces other than the server's own (the bus proxy's connection state, say) are asked of
// the one below.
class CForwardingInstrumentServer : public IInstrumentServer {
public:
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

#define ORVIX_DECLARE_FORWARD(name, params, args) HRESULT name params override;
#define ORVIX_DECLARE_RESERVED_FORWARD(slot) HRESULT Reserved##slot() override;
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DECLARE_FORWARD, ORVIX_DECLARE_RESERVED_FORWARD)
#undef ORVIX_DECLARE_FORWARD
#undef ORVIX_DECLARE_RESERVED_FORWARD

protected:
    // Reference count 1: the creator releases it.
    explicit CForwardingInstrumentServer(IInstrumentServer* inner);
    // Declared after every interface slot, so it does not move any of them.
    virtual ~CForwardingInstrumentServer();

    IInstrumentServer* Inner() const {
        return m_pInner;
    }

private:
    IInstrumentServer* m_pInner;
    std::atomic<ULONG> m_refs{1};
};
