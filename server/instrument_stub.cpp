#include "instrument_stub.h"

#include "instrument_bus.h"
#include "instrument_signatures.h"

#include <QFile>

#include <tuple>
#include <vector>

namespace {

// What the stub keeps for one parameter during a call: the decoded in-value, or the slot the
// implementation fills.
template <class P, bool = ParamWire<P>::kOut> struct StubStorage {
    using type = typename ParamWire<P>::Holder;
};
template <class P> struct StubStorage<P, true> { using type = typename ParamWire<P>::Slot; };

template <class P> bool TakeIn(ArgCursor& in, typename StubStorage<P>::type& storage) {
    if constexpr (ParamWire<P>::kOut) {
        return true;
    } else {
        return ParamWire<P>::Take(in, storage);
    }
}

template <class P> P Pass(typename StubStorage<P>::type& storage) {
    if constexpr (ParamWire<P>::kOut) {
        return ParamWire<P>::Lend(storage);
    } else {
        return ParamWire<P>::Use(storage);
    }
}

QDBusMessage BadArguments(const QDBusMessage& call) {
    return call.createErrorReply(QDBusError::InvalidArgs,
                                 QStringLiteral("Malformed arguments for %1").arg(call.member()));
}

// Arrays that the client sizes are small; a count beyond this is an error, not an allocation.
constexpr std::int32_t kMaxUsageCount = 1024;

} // namespace

CInstrumentServerStub::CInstrumentServerStub(IInstrumentServer* target, QObject* parent)
    : QDBusVirtualObject(parent), m_pTarget(target) {
    RegisterInstrumentWireTypes();
    m_pTarget->AddRef();
    for (const OperationSignature& signature : InstrumentOperationSignatures()) {
        m_operations.insert(QString::fromStdString(signature.name),
                            Operation{QString::fromStdString(signature.in), {}});
    }
#define ORVIX_STUB_OPERATION(name, params, args)                                                   \
    m_operations[QStringLiteral(#name)].handler = [this](const QDBusMessage& call) {               \
        return Dispatch(&IInstrumentServer::name, call);                                           \
    };
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_STUB_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_STUB_OPERATION
#undef ORVIX_SKIP_RESERVED
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
    static const QString kXml = [] {
        QFile file(QStringLiteral(":/org/orvix/org.orvix.InstrumentServer1.xml"));
        if (!file.open(QIODevice::ReadOnly)) {
            return QString();
        }
        const QString whole = QString::fromUtf8(file.readAll());
        // Only the interface element: the bus builds the node around it.
        const qsizetype begin = whole.indexOf(QLatin1String("<interface"));
        const qsizetype end = whole.lastIndexOf(QLatin1String("</interface>"));
        return begin < 0 || end < 0 ? QString()
                                    : whole.mid(begin, end - begin + qsizetype{12}) + u'\n';
    }();
    return kXml;
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

template <class... P>
QDBusMessage CInstrumentServerStub::Dispatch(HRESULT (IInstrumentServer::*operation)(P...),
                                             const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    std::tuple<typename StubStorage<P>::type...> storage;
    const bool ok =
        std::apply([&](auto&... values) { return (TakeIn<P>(in, values) && ...); }, storage);
    if (!ok) {
        return BadArguments(call);
    }
    const HRESULT hr = std::apply(
        [&](auto&... values) { return (m_pTarget->*operation)(Pass<P>(values)...); }, storage);
    QVariantList reply{QVariant(hr)};
    if (SUCCEEDED(hr)) {
        std::apply(
            [&](auto&... values) {
                (
                    [&] {
                        if constexpr (ParamWire<P>::kOut) {
                            ParamWire<P>::Reply(reply, values);
                            ParamWire<P>::Release(values);
                        }
                    }(),
                    ...);
            },
            storage);
    }
    return call.createReply(reply);
}

QDBusMessage CInstrumentServerStub::Dispatch(
    HRESULT (IInstrumentServer::*operation)(std::int32_t, const PlateConfiguration*),
    const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    std::int32_t nPlates = 0;
    ParamWire<std::int32_t>::Take(in, nPlates);
    std::vector<PlateConfiguration> plates;
    if (!ParamWire<const PlateConfiguration*>::Take(in, nPlates, plates)) {
        return BadArguments(call);
    }
    const HRESULT hr = (m_pTarget->*operation)(nPlates, plates.empty() ? nullptr : plates.data());
    return call.createReply(QVariantList{QVariant(hr)});
}

QDBusMessage CInstrumentServerStub::Dispatch(
    HRESULT (IInstrumentServer::*operation)(std::int32_t, std::uint16_t*, std::int32_t,
                                            std::uint16_t*),
    const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    std::int32_t nCount1 = 0;
    std::int32_t nCount2 = 0;
    ParamWire<std::int32_t>::Take(in, nCount1);
    ParamWire<std::int32_t>::Take(in, nCount2);
    if (nCount1 < 0 || nCount2 < 0 || nCount1 > kMaxUsageCount || nCount2 > kMaxUsageCount) {
        return BadArguments(call);
    }
    QList<quint16> usage1(nCount1, 0);
    QList<quint16> usage2(nCount2, 0);
    const HRESULT hr = (m_pTarget->*operation)(nCount1, usage1.data(), nCount2, usage2.data());
    QVariantList reply{QVariant(hr)};
    if (SUCCEEDED(hr)) {
        ParamWire<std::uint16_t*>::Reply(reply, usage1);
        ParamWire<std::uint16_t*>::Reply(reply, usage2);
    }
    return call.createReply(reply);
}

QDBusMessage CInstrumentServerStub::Dispatch(
    HRESULT (IInstrumentServer::*operation)(std::int32_t, std::int32_t, std::int32_t,
                                            const TransferDataBlock*, TransferDataBlock**),
    const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    std::int32_t nCode = 0;
    std::int32_t nArg2 = 0;
    std::int32_t nArg3 = 0;
    ParamWire<std::int32_t>::Take(in, nCode);
    ParamWire<std::int32_t>::Take(in, nArg2);
    ParamWire<std::int32_t>::Take(in, nArg3);
    QByteArray data = ParamWire<const TransferDataBlock*>::Take(in);
    const TransferDataBlock input{static_cast<std::uint32_t>(data.size()),
                                  reinterpret_cast<std::uint8_t*>(data.data())};
    TransferDataBlock* pOut = nullptr;
    const HRESULT hr = (m_pTarget->*operation)(nCode, nArg2, nArg3, &input, &pOut);
    QVariantList reply{QVariant(hr)};
    if (SUCCEEDED(hr)) {
        ParamWire<TransferDataBlock**>::Reply(reply, pOut);
        ReleaseTransferBlock(pOut);
    }
    return call.createReply(reply);
}
