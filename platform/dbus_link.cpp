#include "dbus_link.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>
#include <QTimer>

namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kBusInterface = QStringLiteral("org.freedesktop.DBus");

QDBusMessage CallBus(const QDBusConnection& bus, const QString& method, const QVariantList& args,
                     int timeoutMs) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface, method);
    message.setArguments(args);
    return bus.call(message, QDBus::Block, timeoutMs);
}

bool IsReply(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace

HRESULT HResultFromDBusErrorName(const QString& name) {
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout") ||
        name == QLatin1String("org.freedesktop.DBus.Error.TimedOut")) {
        return RPC_E_TIMEOUT;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        return RPC_E_DISCONNECTED;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NoServer") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NoNetwork")) {
        return RPC_S_SERVER_UNAVAILABLE;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")) {
        return E_NOINTERFACE;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs") ||
        name == QLatin1String("org.freedesktop.DBus.Error.InvalidSignature") ||
        name == QLatin1String("org.freedesktop.DBus.Error.InconsistentMessage")) {
        return RPC_X_BAD_STUB_DATA;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoMemory")) {
        return E_OUTOFMEMORY;
    }
    if (name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."))) {
        return CO_E_SERVER_EXEC_FAILURE;
    }
    return E_FAIL;
}

HRESULT HResultFromDBusError(const QDBusError& error) {
    if (!error.isValid()) {
        return S_OK;
    }
    return HResultFromDBusErrorName(error.name());
}

HRESULT ResolveLocalServer(const QDBusConnection& bus, const QString& wellKnownName,
                           QString* uniqueName) {
    if (!bus.isConnected()) {
        return RPC_S_SERVER_UNAVAILABLE;
    }
    QDBusMessage owner =
        CallBus(bus, QStringLiteral("GetNameOwner"), {wellKnownName}, kInstrumentCallTimeoutMs);
    if (!IsReply(owner)) {
        const QDBusMessage activatable =
            CallBus(bus, QStringLiteral("ListActivatableNames"), {}, kInstrumentCallTimeoutMs);
        if (!IsReply(activatable)) {
            return HResultFromDBusErrorName(activatable.errorName());
        }
        if (!activatable.arguments().value(0).toStringList().contains(wellKnownName)) {
            return REGDB_E_CLASSNOTREG;
        }
        const QDBusMessage started = CallBus(bus, QStringLiteral("StartServiceByName"),
                                             {wellKnownName, 0U}, kActivationTimeoutMs);
        if (!IsReply(started)) {
            const HRESULT hr = HResultFromDBusErrorName(started.errorName());
            // Whatever kept an activatable server from starting is an execution failure.
            return hr == E_FAIL || hr == RPC_E_TIMEOUT || hr == RPC_E_DISCONNECTED
                       ? CO_E_SERVER_EXEC_FAILURE
                       : hr;
        }
        owner =
            CallBus(bus, QStringLiteral("GetNameOwner"), {wellKnownName}, kInstrumentCallTimeoutMs);
        if (!IsReply(owner)) {
            return CO_E_SERVER_EXEC_FAILURE;
        }
    }
    const QString unique = owner.arguments().value(0).toString();
    if (unique.isEmpty()) {
        return CO_E_SERVER_EXEC_FAILURE;
    }
    *uniqueName = unique;
    return S_OK;
}

void QuitWhenBusDisconnects(const QDBusConnection& bus, QCoreApplication* app) {
    // Qt offers no public signal for a lost bus connection; a cheap poll notices it within a
    // second.
    auto* timer = new QTimer(app);
    QObject::connect(timer, &QTimer::timeout, app, [bus, app]() {
        if (!bus.isConnected()) {
            app->quit();
        }
    });
    timer->start(1000);
}
