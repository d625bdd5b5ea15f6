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
    // gone".
    QString Text() const;

signals:
    void stateChanged(ConnectionState state, const QDateTime& since);

private:
    ConnectionState m_state = ConnectionState::Connected;
    QDateTime m_since = QDateTime::currentDateTime();
};
