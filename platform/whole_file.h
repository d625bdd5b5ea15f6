#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

enum class Durability {
    // On the disk before it replaces the old file: survives a power cut.
    Flushed,
    // Left to the system to write out: the caller never waits for the disk, and a power cut may
    // leave the file empty.
    Cached,
};

// Writes bytes to path through a temporary file beside it, renamed over path only once whole:
// a reader sees the old file or the new one, never a part, and a failed write leaves the old
// one as it was and no temporary behind. The new file has the given mode. A failure's reason
// is the system's own text ("No space left on device", "Read-only file system", "Permission
// denied").
bool WriteWholeFile(const QString& path, const QByteArray& bytes, mode_t mode, QString* reason,
                    Durability durability = Durability::Flushed);

// Writes every byte to fd, going on after short writes and interruptions.
bool WriteAllBytes(int fd, const QByteArray& bytes, QString* reason);
