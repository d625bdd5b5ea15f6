#include "connection_status.h"

#include "instrument_server.h"
#include "resource.h"
#include "string_table.h"

namespace {

constexpr char kSinceFormat[] = "hh:mm:ss";

} // namespace

CConnectionStatus::CConnectionStatus(QObject* parent) : QObject(parent) {}

void CConnectionStatus::Update() {
    IInstrumentConnection* pConnection = nullptr;
    if (g_pServer == nullptr ||
        FAILED(g_pServer->QueryInterface(IID_IInstrumentConnection,
                                         reinterpret_cast<void**>(&pConnection)))) {
        return;
    }
    ConnectionState state = ConnectionState::Connected;
    std::int64_t sinceMs = 0;
    const HRESULT hr = pConnection->GetConnectionState(&state, &sinceMs);
    pConnection->Release();
    if (FAILED(hr) || state == m_state) {
        return;
    }
    m_state = state;
    m_since = QDateTime::fromMSecsSinceEpoch(sinceMs);
    if (m_state == ConnectionState::Connected) {
        m_reason.clear();
    }
    emit stateChanged(m_state, m_since);
}

void CConnectionStatus::SetUnreachableReason(const QString& reason) {
    if (reason == m_reason) {
        return;
    }
    m_reason = reason;
    if (m_state == ConnectionState::ServerGone) {
        emit stateChanged(m_state, QDateTime::currentDateTime());
    }
}

QString CConnectionStatus::Text() const {
    switch (m_state) {
    case ConnectionState::NotAnswering:
        return LoadString(IDS_CONNECTION_NOT_ANSWERING)
            .arg(m_since.toString(QLatin1String(kSinceFormat)));
    case ConnectionState::ServerGone:
        return m_reason.isEmpty() ? LoadString(IDS_CONNECTION_SERVER_GONE)
                                  : LoadString(IDS_CONNECTION_SERVER_UNREACHABLE).arg(m_reason);
    case ConnectionState::Connected:
        break;
    }
    return LoadString(IDS_CONNECTION_CONNECTED);
}
