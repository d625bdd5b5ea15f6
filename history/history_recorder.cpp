#include "history_recorder.h"

#include "history_writer.h"

#include <QDateTime>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace {

CHistoryRecorder* g_pHistory = nullptr;

} // namespace

QString LoginName() {
    // The account, not $LOGNAME or $USER, which anyone can set to sign as someone else.
    const passwd* account = getpwuid(geteuid());
    return account != nullptr ? QString::fromLocal8Bit(account->pw_name)
                              : QString::number(geteuid());
}

CHistoryRecorder::CHistoryRecorder(std::unique_ptr<CHistoryWriter> writer)
    : m_writer(std::move(writer)), m_user(LoginName()), m_host(QSysInfo::machineHostName()) {}

CHistoryRecorder::~CHistoryRecorder() {
    if (g_pHistory == this) {
        g_pHistory = nullptr;
    }
}

void CHistoryRecorder::Record(HistoryKind kind, std::int64_t whenMs, const QString& text) {
    if (m_writer) {
        m_writer->Append({0, whenMs, kind, m_user, m_host, m_serial, text});
    }
}

void CHistoryRecorder::RecordAction(std::int64_t whenMs, const QString& text) {
    Record(HistoryKind::Action, whenMs, text);
}

void CHistoryRecorder::RecordSession(std::int64_t whenMs, const QString& text) {
    Record(HistoryKind::Session, whenMs, text);
}

void CHistoryRecorder::SetInstrumentSerial(const QString& serial) {
    m_serial = serial;
}

CHistoryRecorder* ServiceHistory() {
    return g_pHistory;
}

void SetServiceHistory(CHistoryRecorder* recorder) {
    g_pHistory = recorder;
}

void NoteServiceAction(const QString& text) {
    if (g_pHistory != nullptr) {
        g_pHistory->RecordAction(QDateTime::currentMSecsSinceEpoch(), text);
    }
}
