#pragma once

#include "instrument_connection.h"

#include <QDateTime>
#include <QObject>
#include <QString>

// The link to the instrument as the window shows it: what the server's proxy learned from the
// calls already made, read after each refresh without a call of its own. A server without that
// knowledge (one in this process) always counts as connected.
class CConnectionStatus : public QObject {
    Q_OBJECT
public:
    explicit CConnectionStatus(QObject* parent = nullptr);

    // Asks g_pServer what its calls found; emits stateChanged when the state moved.
    void Update();

    ConnectionState State() const { return m_state; }
    QDateTime Since() const { return m_since; }
    // "Instrument connected", "Instrument not answering since hh:mm:ss" or "Instrument server
    // gone", with why the last try to reach it again failed once one has.
    QString Text() const;

    // Why the last try to reach the server again failed; a reason that differs from the last
    // one is news, as a change of state is. Forgotten once the server is back.
    void SetUnreachableReason(const QString& reason);

signals:
    // The state moved, or the reason the server is gone changed: Text() has news.
    void stateChanged(ConnectionState state, const QDateTime& since);

private:
    ConnectionState m_state = ConnectionState::Connected;
    QDateTime m_since = QDateTime::currentDateTime();
    QString m_reason;
};
