#include "history_entry.h"

#include "ids_history.h"
#include "string_table.h"

#include <QDateTime>

QString HistoryKindText(HistoryKind kind) {
    const int index = static_cast<int>(kind);
    return LoadString(IDS_HISTORY_KINDS).section(u'\n', index, index);
}

QString HistoryTimeText(std::int64_t ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toUTC().toString(Qt::ISODateWithMs);
}
