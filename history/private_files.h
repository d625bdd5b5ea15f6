#pragma once

#include <QByteArray>
#include <QString>

// The history, its key and its side files hold who did what: only their owner may read them,
// whatever the umask says.

// Creates the folder and any missing parent as 0700, and narrows the folder itself to 0700.
bool MakePrivateFolder(const QString& path, QString* error);
// Creates an empty file as 0600 when it is missing, and narrows an existing one to 0600.
bool MakePrivateFile(const QString& path, QString* error);
// Writes a new file as 0600 and flushes it to the disk; an existing file is replaced.
bool WritePrivateFile(const QString& path, const QByteArray& bytes, QString* error);
