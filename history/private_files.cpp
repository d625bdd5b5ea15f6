#include "private_files.h"

#include "whole_file.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kFolderMode = S_IRWXU;
constexpr mode_t kFileMode = S_IRUSR | S_IWUSR;

bool Failed(const QString& path, QString* error) {
    *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                          QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace

bool MakePrivateFolder(const QString& path, QString* error) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString built;
    for (const QString& part : absolute.split(u'/', Qt::SkipEmptyParts)) {
        built += u'/' + part;
        const QByteArray native = QFile::encodeName(built);
        if (::mkdir(native.constData(), kFolderMode) != 0 && errno != EEXIST) {
            return Failed(built, error);
        }
    }
    struct stat folder {};
    const QByteArray native = QFile::encodeName(absolute);
    if (::stat(native.constData(), &folder) != 0) {
        return Failed(absolute, error);
    }
    if (!S_ISDIR(folder.st_mode)) {
        errno = ENOTDIR;
        return Failed(absolute, error);
    }
    if (folder.st_uid == ::geteuid() && (folder.st_mode & ~S_IFMT) != kFolderMode &&
        ::chmod(native.constData(), kFolderMode) != 0) {
        return Failed(absolute, error);
    }
    return true;
}

bool MakePrivateFile(const QString& path, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        return Failed(path, error);
    }
    struct stat file {};
    const bool narrowed = ::fstat(fd, &file) == 0 &&
                          (file.st_uid != ::geteuid() || (file.st_mode & ~S_IFMT) == kFileMode ||
                           ::fchmod(fd, kFileMode) == 0);
    if (!narrowed) {
        Failed(path, error);
    }
    ::close(fd);
    return narrowed;
}

bool WritePrivateFile(const QString& path, const QByteArray& bytes, QString* error) {
    QString reason;
    if (!WriteWholeFile(path, bytes, kFileMode, &reason)) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    return true;
}
