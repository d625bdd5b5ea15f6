#include "line_count.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class LineCount : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("f%1.s19").arg(++m_files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

TEST_F(LineCount, CountsLinesAsReadingThemOneByOneWould) {
    QString fault;
    EXPECT_EQ(CountFileLines(Write(""), fault), 0);
    EXPECT_EQ(CountFileLines(Write("S0030000FC"), fault), 1) << "a last line without its end";
    EXPECT_EQ(CountFileLines(Write("a\nb\n"), fault), 2);
    EXPECT_EQ(CountFileLines(Write("a\r\nb\r\nc"), fault), 3);
    EXPECT_EQ(CountFileLines(Write("\n\n\n"), fault), 3);
    // More than one read's worth.
    EXPECT_EQ(CountFileLines(Write(QByteArray(3 << 20, '\n') + "x"), fault), (3 << 20) + 1);
}

TEST_F(LineCount, SaysWhyAFileCannotBeRead) {
    QString fault;
    EXPECT_FALSE(CountFileLines(m_dir.filePath(QStringLiteral("missing.s19")), fault));
    EXPECT_EQ(fault, QStringLiteral("No such file or directory"));
    EXPECT_FALSE(CountFileLines(m_dir.path(), fault));
    EXPECT_EQ(fault, QStringLiteral("It is not a regular file"));
    // A named pipe nobody writes to is refused at once rather than waited on.
    const QString pipe = m_dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(CountFileLines(pipe, fault));
    EXPECT_EQ(fault, QStringLiteral("It is not a regular file"));
}

} // namespace
