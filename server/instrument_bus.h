#pragma once

#include <QString>

// Where the instrument server lives on the session bus.
inline const QString kInstrumentServiceName = QStringLiteral("org.orvix.InstrumentServer");
inline const QString kInstrumentObjectPath = QStringLiteral("/org/orvix/InstrumentServer");
inline const QString kInstrumentInterface = QStringLiteral("org.orvix.InstrumentServer1");
