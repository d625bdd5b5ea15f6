#include "whole_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

TEST(WholeFileTest, ReplacesTheFileWholeWithItsModeAndLeavesNoTemporary) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString reason;
    ASSERT_TRUE(WriteWholeFile(path, "old", 0600, &reason)) << reason.toStdString();
    ASSERT_TRUE(WriteWholeFile(path, "new contents", 0644, &reason)) << reason.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("new contents"));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777U, 0644U);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});
}

TEST(WholeFileTest, AFailureNamesTheSystemsReason) {
    QString reason;
    EXPECT_FALSE(
        WriteWholeFile(QStringLiteral("/nonexistent-folder/report.pdf"), "x", 0644, &reason));
    EXPECT_EQ(reason, QStringLiteral("No such file or directory"));

    // A full disk.
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    EXPECT_FALSE(WriteAllBytes(full, QByteArray(4096, 'x'), &reason));
    ::close(full);
    EXPECT_EQ(reason, QStringLiteral("No space left on device"));

    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into a read-only folder";
    }
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(WriteWholeFile(old, "old", 0644, &reason));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_FALSE(WriteWholeFile(old, "new", 0644, &reason));
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(reason, QStringLiteral("Permission denied"));
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

} // namespace
