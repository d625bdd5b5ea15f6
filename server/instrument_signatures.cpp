#include "instrument_signatures.h"

#include "operation_wire.h"

const std::vector<OperationSignature>& InstrumentOperationSignatures() {
    static const std::vector<OperationSignature> kSignatures = [] {
        std::vector<OperationSignature> list;
        ForEachOperation([&](auto operation) {
            using Op = decltype(operation);
            list.push_back({Op::kName, InSignatureOf<Op>(), ReplySignatureOf<Op>()});
        });
        return list;
    }();
    return kSignatures;
}
