#pragma once

#include <QString>

// D-Bus activation files: the registration of a program the session bus starts on demand for a
// bus name, as the local-server registration of a class.

// The user's session services folder: $XDG_DATA_HOME/dbus-1/services, or
// ~/.local/share/dbus-1/services when XDG_DATA_HOME is not set.
QString SessionServicesDir();

// The text of an activation file: the bus starts "executable arguments" for busName.
QString ActivationFileText(const QString& busName, const QString& executable,
                           const QString& arguments, const QString& comment);

// Writes busName's activation file in SessionServicesDir(), creating the folder as needed.
bool WriteActivationFile(const QString& busName, const QString& executable,
                         const QString& arguments, const QString& comment);

QString ActivationFilePath(const QString& busName);

// Removes busName's activation file; one that does not exist is not an error.
bool RemoveActivationFile(const QString& busName);
