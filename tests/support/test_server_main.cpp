// A stand-in instrument server for transport tests: serves the recording fake on the session
// bus, or misbehaves in one named way.
#include "dbus_link.h"
#include "fake_instrument_server.h"
#include "instrument_bus.h"
#include "instrument_stub.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QThread>

#include <cstdio>

namespace {

// Answers every instrument call with a reply that does not match its contract.
class MalformedServer : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override {
        return CInstrumentServerStub::InterfaceXml();
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kInstrumentInterface) {
            return false;
        }
        QVariantList reply{QVariant(0)};
        if (message.member() == QLatin1String("ReadStatus")) {
            // A record two bytes short, then its message.
            reply << QVariant(QByteArray(106, '\0')) << WireVariant(WireText{});
        } else if (message.member() == QLatin1String("GetInstrumentConfiguration")) {
            // Success, but no record at all.
        } else if (message.member() == QLatin1String("ReadAllData")) {
            // Two blocks announced, one sent.
            DataBlockList list{2, nullptr};
            reply << QVariant(EncodeRecord(list))
                  << QVariant(EncodeRecord(DataBlock{0, 1, nullptr}))
                  << WireVariant(QByteArrayList{QByteArray(4, '\1')});
        } else {
            reply[0] = QVariant(QStringLiteral("not a result code"));
        }
        connection.send(message.createReply(reply));
        return true;
    }
};

// Owns the name but serves something else at the instrument's path.
class ForeignServer : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override {
        return QStringLiteral("<interface name=\"org.example.Other\"/>\n");
    }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegisterInstrumentWireTypes();
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "no session bus\n");
        return 1;
    }
    CFakeInstrumentServer* fake = CFakeInstrumentServer::Create();
    fake->statusMessage = "Idle";
    fake->status.nState = 3;
    if (mode == QLatin1String("hang")) {
        fake->onCall = [](const std::string& operation) {
            if (operation == "ReadStatus") {
                QThread::sleep(1);
            }
        };
    }
    CInstrumentServerStub stub(fake);
    fake->Release();
    MalformedServer malformed;
    ForeignServer foreign;
    QDBusVirtualObject* object = &stub;
    if (mode == QLatin1String("malformed")) {
        object = &malformed;
    } else if (mode == QLatin1String("foreign")) {
        object = &foreign;
    }
    if (!bus.registerVirtualObject(kInstrumentObjectPath, object) ||
        !bus.registerService(kInstrumentServiceName)) {
        std::fprintf(stderr, "cannot serve: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    QuitWhenBusDisconnects(bus, &app);
    return app.exec();
}
