#include "instrument_proxy.h"

#include "com.h"
#include "dbus_link.h"
#include "error_info.h"
#include "instrument_bus.h"

#include <QDBusPendingCall>
#include <QElapsedTimer>

#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr qint64 kSpinNanoseconds = 2000000;
constexpr std::chrono::microseconds kPollInterval{500};
// How long the bus keeps an overdue call pending before it gives up on the answer.
constexpr int kOverdueLimitMs = 60000;

} // namespace

CInstrumentServerProxy::CInstrumentServerProxy(const QDBusConnection& bus,
                                               const QString& uniqueName)
    : m_bus(bus), m_service(uniqueName) {
    RegisterInstrumentWireTypes();
}

CInstrumentServerProxy::CInstrumentServerProxy(Exchange exchange)
    : m_bus(QString()), m_exchange(std::move(exchange)) {
    RegisterInstrumentWireTypes();
}

HRESULT CInstrumentServerProxy::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject != nullptr && riid == IID_IInstrumentConnection) {
        *ppvObject = static_cast<IInstrumentConnection*>(this);
        AddRef();
        return S_OK;
    }
    return CInstrumentServerObject::QueryInterface(riid, ppvObject);
}

ULONG CInstrumentServerProxy::AddRef() {
    return CInstrumentServerObject::AddRef();
}

ULONG CInstrumentServerProxy::Release() {
    return CInstrumentServerObject::Release();
}

HRESULT CInstrumentServerProxy::GetConnectionState(ConnectionState* pState,
                                                   std::int64_t* pSinceMs) {
    if (pState == nullptr || pSinceMs == nullptr) {
        return E_POINTER;
    }
    *pState = m_link.State();
    *pSinceMs = m_link.SinceMs();
    return S_OK;
}

CInstrumentServerProxy::~CInstrumentServerProxy() {
    ReleaseErrorList(m_pErrors);
}

QDBusMessage CInstrumentServerProxy::Call(const char* name, const QVariantList& args) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        m_service, kInstrumentObjectPath, kInstrumentInterface, QString::fromLatin1(name));
    message.setArguments(args);
    if (!m_exchange) {
        if (!m_bus.isConnected()) {
            return QDBusMessage::createError(QDBusError::Disconnected, QString());
        }
        if (m_overdue && !m_overdue->isFinished()) {
            return QDBusMessage::createError(QDBusError::NoReply, QString());
        }
        m_overdue.reset();
    }
    if (!m_readAhead) {
        // The exchange's answer as it is: a pending call holds only replies and errors.
        return m_exchange ? m_exchange(message) : Await(Send(message));
    }
    const std::optional<QDBusPendingCall> ahead = m_readAhead->Take(message);
    const QDBusMessage reply = Await(ahead ? *ahead : Send(message));
    if (m_readAhead->Repeats(message, reply)) {
        m_readAhead->Keep(message, Send(message));
    }
    return reply;
}

QDBusPendingCall CInstrumentServerProxy::Send(const QDBusMessage& message) {
    if (m_exchange) {
        return QDBusPendingCall::fromCompletedCall(m_exchange(message));
    }
    // The bus itself waits longer than the proxy, so that an overdue call stays pending until
    // its late answer comes.
    return m_bus.asyncCall(message, kOverdueLimitMs);
}

QDBusMessage CInstrumentServerProxy::Await(const QDBusPendingCall& pending) {
    // A blocking call never returns when the bus closes while it waits, so the proxy keeps its
    // own deadline. Replies are taken on Qt's bus thread, which finishes the pending call
    // without this thread's event loop.
    QElapsedTimer clock;
    clock.start();
    while (!pending.isFinished()) {
        const qint64 waited = clock.nsecsElapsed();
        if (waited > qint64{m_timeoutMs} * 1000000) {
            if (!m_bus.isConnected()) {
                return QDBusMessage::createError(QDBusError::Disconnected, QString());
            }
            m_overdue = pending;
            return QDBusMessage::createError(QDBusError::NoReply, QString());
        }
        // Most calls answer within a fraction of a millisecond: give way without sleeping first,
        // then wait in short sleeps so that a slow call does not keep the processor busy.
        if (waited < kSpinNanoseconds) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(kPollInterval);
        }
    }
    return pending.reply();
}

HRESULT CInstrumentServerProxy::CheckReply(const QDBusMessage& reply,
                                           const std::string& outSignature) {
    using Outcome = CConnectionTracker::Outcome;
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const HRESULT hr = HResultFromDBusErrorName(reply.errorName());
        // The bound name without an owner, or no bus at all: this server will not come back.
        const bool gone = hr == RPC_E_DISCONNECTED || hr == RPC_S_SERVER_UNAVAILABLE;
        m_link.Record(gone ? Outcome::OwnerLost : Outcome::NotAnswered);
        return hr;
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        m_link.Record(Outcome::NotAnswered);
        return RPC_S_SERVER_UNAVAILABLE;
    }
    const QString signature = MessageSignature(reply);
    if (!signature.startsWith(QLatin1Char('i'))) {
        return BadReply();
    }
    // A failure that the server reports is still an answer.
    const HRESULT hr = reply.arguments().constFirst().toInt();
    if (FAILED(hr)) {
        m_link.Record(Outcome::Answered);
        return hr;
    }
    if (signature != QLatin1String(outSignature.c_str())) {
        return BadReply();
    }
    m_link.Record(Outcome::Answered);
    return hr;
}

HRESULT CInstrumentServerProxy::BadReply() {
    m_link.Record(CConnectionTracker::Outcome::NotAnswered);
    return RPC_X_BAD_STUB_DATA;
}

ErrorList* CInstrumentServerProxy::KeepErrorList(ErrorList* list) {
    ReleaseErrorList(m_pErrors);
    m_pErrors = list;
    return list;
}

#define ORVIX_DEFINE_PROXY_OPERATION(slot, name, kind, access, params, args, bus)                  \
    HRESULT CInstrumentServerProxy::name params {                                                  \
        return OperationWire<op::name>::Forward(*this ORVIX_AFTER_COMMA args);                     \
    }
#define ORVIX_SKIP_RESERVED(slot)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DEFINE_PROXY_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_DEFINE_PROXY_OPERATION
#undef ORVIX_SKIP_RESERVED

namespace {

// The peer must serve the instrument interface at the instrument's path, or it is some other
// program holding the name.
HRESULT CheckServesInterface(const QDBusConnection& bus, const QString& uniqueName) {
    QDBusMessage introspect = QDBusMessage::createMethodCall(
        uniqueName, kInstrumentObjectPath, QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    const QDBusMessage reply = bus.call(introspect, QDBus::Block, kInstrumentCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return reply.type() == QDBusMessage::ErrorMessage
                   ? HResultFromDBusErrorName(reply.errorName())
                   : RPC_S_SERVER_UNAVAILABLE;
    }
    const QString xml = reply.arguments().value(0).toString();
    const QString wanted = QStringLiteral("<interface name=\"%1\"").arg(kInstrumentInterface);
    return xml.contains(wanted) ? S_OK : E_NOINTERFACE;
}

} // namespace

HRESULT CreateInstrumentServerProxy(const QDBusConnection& bus, REFIID riid, void** ppv,
                                    PeriodicReads reads) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    QString uniqueName;
    HRESULT hr = ResolveLocalServer(bus, kInstrumentServiceName, &uniqueName);
    if (FAILED(hr)) {
        return hr;
    }
    hr = CheckServesInterface(bus, uniqueName);
    if (FAILED(hr)) {
        return hr;
    }
    auto* proxy = new CInstrumentServerProxy(bus, uniqueName);
    if (reads == PeriodicReads::ReadAhead) {
        proxy->EnableReadAhead();
    }
    hr = proxy->QueryInterface(riid, ppv);
    proxy->Release();
    return hr;
}

void RegisterInstrumentServerClass(const ServerLocation& location, PeriodicReads remoteReads) {
    if (!location.IsRemote()) {
        CoRegisterLocalServerClass(CLSID_InstrumentServer, [](REFIID riid, void** ppv) {
            return CreateInstrumentServerProxy(QDBusConnection::sessionBus(), riid, ppv);
        });
        return;
    }
    auto remote = std::make_shared<CSshBus>(location);
    auto create = [remote, remoteReads](REFIID riid, void** ppv) {
        QString error;
        const QDBusConnection bus = remote->Connect(&error);
        if (!bus.isConnected()) {
            *ppv = nullptr;
            SetErrorInfoText(error.toStdString());
            return RPC_S_SERVER_UNAVAILABLE;
        }
        return CreateInstrumentServerProxy(bus, riid, ppv, remoteReads);
    };
    CoRegisterLocalServerClass(CLSID_InstrumentServer, create);
}
