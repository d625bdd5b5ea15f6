#pragma once

#include <QString>

// D-Bus activation of the server: a service file in the user's session services folder tells
// the bus to start this executable with -Embedding for the instrument's name.
QString ActivationFilePath();

// Each returns an empty text on success, otherwise what went wrong.
QString RegisterServer(const QString& executable);
// Removing a registration that does not exist is not an error.
QString UnregisterServer();
