#pragma once

#include "simulated_server.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

// org.orvix.InstrumentSimulator1: what a person or a test does to the instrument from outside,
// served on the instrument's own object beside its instrument interface.
class CSimulatorControl {
public:
    explicit CSimulatorControl(CSimulatedInstrumentServer& server) : m_server(server) {}

    bool Handle(const QDBusMessage& message, const QDBusConnection& connection);

private:
    QDBusMessage Act(const QDBusMessage& call);

    CSimulatedInstrumentServer& m_server;
};
