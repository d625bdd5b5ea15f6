#pragma once

#include "hresult.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QString>

class QCoreApplication;

// Every instrument call returns as soon as its procedure has started, so two seconds is ample;
// the bus default of 25 s would freeze the window that long behind a hung server.
constexpr int kInstrumentCallTimeoutMs = 2000;

// Starting a server by activation includes a process start, which may take longer than a call.
constexpr int kActivationTimeoutMs = 10000;

// The COM code a user would see for a failure of the bus or of the peer.
HRESULT HResultFromDBusError(const QDBusError& error);
HRESULT HResultFromDBusErrorName(const QString& name);

// Finds the process that owns wellKnownName on the bus, starting it by activation when it is
// not running, and returns its unique connection name. A name that is neither running nor
// activatable is a class that is not registered.
HRESULT ResolveLocalServer(const QDBusConnection& bus, const QString& wellKnownName,
                           QString* uniqueName);

// A process that D-Bus started, or that serves on a bus, leaves when its bus goes away: a
// private test bus would otherwise be outlived by the server, which holds the run's output open.
void QuitWhenBusDisconnects(const QDBusConnection& bus, QCoreApplication* app);
