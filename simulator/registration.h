#pragma once

#include <QString>

// D-Bus activation of the server: a service file in the user's session services folder tells
// the bus which program to start for the instrument's name.

// $XDG_DATA_HOME/dbus-1/services/org.orvix.InstrumentServer.service, with ~/.local/share when
// XDG_DATA_HOME is not set.
QString ActivationFilePath();
QString ActivationFileText(const QString& executable);

// Each returns an empty text on success, otherwise what went wrong.
QString RegisterServer(const QString& executable);
// Removing a registration that does not exist is not an error.
QString UnregisterServer();
