#include "recent_file_list.h"

const char* const CRecentFileList::kSection = "Recent File List";

namespace {

QString EntryKey(qsizetype index) {
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

CRecentFileList::CRecentFileList(int size) {
    for (int i = 0; i < size; ++i) {
        m_entries.append(QString());
    }
}

void CRecentFileList::ReadList(QSettings& profile) {
    profile.beginGroup(QLatin1String(kSection));
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        m_entries[i] = profile.value(EntryKey(i)).toString();
    }
    profile.endGroup();
}

void CRecentFileList::WriteList(QSettings& profile) const {
    profile.remove(QLatin1String(kSection));
    profile.beginGroup(QLatin1String(kSection));
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].isEmpty()) {
            profile.setValue(EntryKey(i), m_entries[i]);
        }
    }
    profile.endGroup();
}
