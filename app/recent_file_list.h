#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

// The most-recently-used file list of the profile: section "Recent File List", entries
// "File1" to "FileN". The program opens no files, so the list keeps what the profile holds.
class CRecentFileList {
public:
    explicit CRecentFileList(int size);

    void ReadList(QSettings& profile);
    // Replaces the section with the list's non-empty entries.
    void WriteList(QSettings& profile) const;

    int Size() const { return static_cast<int>(m_entries.size()); }
    const QStringList& Entries() const { return m_entries; }

    static const char* const kSection;

private:
    QStringList m_entries;
};
