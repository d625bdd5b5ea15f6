#pragma once

#include "instrument_server.h"

#include <atomic>

// Common ground of every IInstrumentServer implementation (bus proxy, simulator, test fakes):
// reference counting, QueryInterface for the three interfaces, IDispatch that offers nothing,
// and the reserved slots, which no client calls.
class CInstrumentServerObject : public IInstrumentServer {
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

#define ORVIX_DECLARE_RESERVED(slot) HRESULT Reserved##slot() override;
#define ORVIX_SKIP_OPERATION(...)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SKIP_OPERATION, ORVIX_DECLARE_RESERVED)
#undef ORVIX_SKIP_OPERATION
#undef ORVIX_DECLARE_RESERVED

    ULONG RefCount() const {
        return m_refs.load();
    }

protected:
    CInstrumentServerObject() = default;
    // Declared after every interface slot, so it does not move any of them.
    virtual ~CInstrumentServerObject() = default;

private:
    std::atomic<ULONG> m_refs{1};
};
