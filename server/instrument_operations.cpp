#include "instrument_operations.h"

#include <algorithm>

const OperationInfo* FindOperation(std::string_view name) {
    const auto* found = std::find_if(
        std::begin(kInstrumentOperations), std::end(kInstrumentOperations),
        [&](const OperationInfo& info) { return info.name != nullptr && info.name == name; });
    return found != std::end(kInstrumentOperations) ? found : nullptr;
}
