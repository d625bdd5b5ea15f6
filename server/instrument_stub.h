#pragma once

#include "instrument_server.h"
#include "instrument_wire.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QHash>
#include <QString>

#include <functional>

// Serves any IInstrumentServer implementation on the bus: takes each call's arguments, calls the
// implementation, replies with the result code and, on success, the out-values, then releases
// the blocks the implementation handed out.
class CInstrumentServerStub : public QDBusVirtualObject {
    Q_OBJECT
public:
    explicit CInstrumentServerStub(IInstrumentServer* target, QObject* parent = nullptr);
    ~CInstrumentServerStub() override;

    // Exports the object at the instrument's path; does not claim the well-known name.
    bool Register(QDBusConnection& bus);

    // Another interface on the same object, such as the simulator's control interface.
    using InterfaceHandler = std::function<bool(const QDBusMessage&, const QDBusConnection&)>;
    void AddInterface(const QString& name, const QString& introspectionXml,
                      InterfaceHandler handler);

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    // The reply to one call of the instrument interface, as handleMessage sends it.
    QDBusMessage Answer(const QDBusMessage& call);

    // The introspection of the instrument interface, as the contract table writes it.
    static QString InterfaceXml();

private:
    struct Operation {
        QString inSignature;
        std::function<QDBusMessage(const QDBusMessage&)> handler;
    };
    struct ExtraInterface {
        QString xml;
        InterfaceHandler handler;
    };

    IInstrumentServer* m_pTarget;
    QHash<QString, Operation> m_operations;
    QHash<QString, ExtraInterface> m_interfaces;
};
