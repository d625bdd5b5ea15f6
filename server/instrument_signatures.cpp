#include "instrument_signatures.h"

const std::vector<OperationSignature>& InstrumentOperationSignatures() {
    static const std::vector<OperationSignature> kSignatures = [] {
        std::vector<OperationSignature> list;
#define ORVIX_SIGNATURE(name, params, args)                                                        \
    list.push_back(SignatureOf(#name, &IInstrumentServer::name));
#define ORVIX_SKIP_RESERVED(slot)
        ORVIX_INSTRUMENT_OPERATIONS(ORVIX_SIGNATURE, ORVIX_SKIP_RESERVED)
#undef ORVIX_SIGNATURE
#undef ORVIX_SKIP_RESERVED
        return list;
    }();
    return kSignatures;
}
