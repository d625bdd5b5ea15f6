#include "instrument_stub.h"

#include "contract_xml.h"
#include "instrument_bus.h"
#include "operation_wire.h"

CInstrumentServerStub::CInstrumentServerStub(IInstrumentServer* target, QObject* parent)
    : QDBusVirtualObject(parent), m_pTarget(target) {
    RegisterInstrumentWireTypes();
    m_pTarget->AddRef();
    ForEachOperation([this](auto operation) {
        using Op = decltype(operation);
        m_operations.insert(QLatin1String(Op::kName),
                            Operation{QString::fromStdString(InSignatureOf<Op>()),
                                      [this](const QDBusMessage& call) {
                                          return OperationWire<Op>::Dispatch(*m_pTarget, call);
                                      }});
    });
}

CInstrumentServerStub::~CInstrumentServerStub() {
    m_pTarget->Release();
}

bool CInstrumentServerStub::Register(QDBusConnection& bus) {
    return bus.registerVirtualObject(kInstrumentObjectPath, this);
}

void CInstrumentServerStub::AddInterface(const QString& name, const QString& introspectionXml,
                                         InterfaceHandler handler) {
    m_interfaces.insert(name, ExtraInterface{introspectionXml, std::move(handler)});
}

QString CInstrumentServerStub::InterfaceXml() {
    return InstrumentInterfaceXml();
}

QString CInstrumentServerStub::introspect(const QString&) const {
    QString xml = InterfaceXml();
    for (const ExtraInterface& extra : m_interfaces) {
        xml += extra.xml;
    }
    return xml;
}

bool CInstrumentServerStub::handleMessage(const QDBusMessage& message,
                                          const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    const QString interface = message.interface();
    if (const auto extra = m_interfaces.constFind(interface); extra != m_interfaces.constEnd()) {
        return extra->handler(message, connection);
    }
    if (!interface.isEmpty() && interface != kInstrumentInterface) {
        return false;
    }
    if (!m_operations.contains(message.member())) {
        return false;
    }
    QDBusMessage reply = Answer(message);
    if (!message.isReplyRequired()) {
        return true;
    }
    connection.send(reply);
    return true;
}

QDBusMessage CInstrumentServerStub::Answer(const QDBusMessage& call) {
    const auto operation = m_operations.constFind(call.member());
    if (operation == m_operations.constEnd()) {
        return call.createErrorReply(QDBusError::UnknownMethod, call.member());
    }
    return MessageSignature(call) == operation->inSignature ? operation->handler(call)
                                                            : BadArguments(call);
}
