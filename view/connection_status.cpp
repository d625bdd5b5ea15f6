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
    emit stateChanged(m_state, m_since);
}

QString CConnectionStatus::Text() const {
    switch (m_state) {
    case ConnectionState::NotAnswering:
        return LoadString(IDS_CONNECTION_NOT_ANSWERING)
            .arg(m_since.toString(QLatin1String(kSinceFormat)));
    case ConnectionState::ServerGone:
        return LoadString(IDS_CONNECTION_SERVER_GONE);
    case ConnectionState::Connected:
        break;
    }
    return LoadString(IDS_CONNECTION_CONNECTED);
}
