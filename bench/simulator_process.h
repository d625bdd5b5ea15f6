#pragma once

#include "instrument_server.h"

#include <QProcess>
#include <QTemporaryDir>

// The simulated instrument server as a process of its own on the session bus, as the client
// meets it: started on first use, with its state in a temporary folder, and ended with this
// object.
class CSimulatorProcess {
public:
    CSimulatorProcess() = default;
    ~CSimulatorProcess();
    CSimulatorProcess(const CSimulatorProcess&) = delete;
    CSimulatorProcess& operator=(const CSimulatorProcess&) = delete;

    // A proxy to the server with one reference for the caller; null, with the reason on
    // standard error, when there is none.
    IInstrumentServer* CreateProxy();

private:
    bool Start();

    QTemporaryDir m_home;
    QProcess m_process;
};
