#pragma once

#include <string>
#include <vector>

// The bus signature of an operation: its in-arguments, and its reply (the result code first).
struct OperationSignature {
    std::string name;
    std::string in;
    std::string out;
};

// Every named operation, in slot order.
const std::vector<OperationSignature>& InstrumentOperationSignatures();
