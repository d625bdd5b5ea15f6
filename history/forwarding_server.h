#pragma once

#include "server_object.h"

// An IInstrumentServer that hands every call to another one, unchanged: the base of servers
// that add something to the calls. It keeps a reference to the one below for its whole life.
// Interfaces other than the server's own (the bus proxy's connection state, say) are asked of
// the one below.
class CForwardingInstrumentServer : public CInstrumentServerObject {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;

#define ORVIX_DECLARE_FORWARD(name, params, args) HRESULT name params override;
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DECLARE_FORWARD, ORVIX_SKIP_RESERVED)
#undef ORVIX_DECLARE_FORWARD
#undef ORVIX_SKIP_RESERVED

protected:
    // Reference count 1: the creator releases it.
    explicit CForwardingInstrumentServer(IInstrumentServer* inner);
    ~CForwardingInstrumentServer() override;

    IInstrumentServer* Inner() const {
        return m_pInner;
    }

private:
    IInstrumentServer* m_pInner;
};
