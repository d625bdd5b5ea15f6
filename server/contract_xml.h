#pragma once

#include <QString>

// The introspection of the instrument interface, written from the contract table: the whole
// committed file, and the interface element that the stub serves.
QString InstrumentContractXml();
QString InstrumentInterfaceXml();
