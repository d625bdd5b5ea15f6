#include "instrument_server.h"

IInstrumentServer* g_pServer = nullptr;
