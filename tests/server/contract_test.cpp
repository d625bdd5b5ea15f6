// The committed introspection is the contract: it must describe exactly what the code sends.
#include "contract_xml.h"
#include "fake_instrument_server.h"
#include "instrument_proxy.h"
#include "instrument_signatures.h"
#include "instrument_stub.h"

#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

// Each method's in- and out-signature, as the committed XML declares them.
using Declared = std::map<std::string, std::pair<std::string, std::string>>;

Declared DeclaredSignatures() {
    Declared declared;
    QXmlStreamReader reader(CInstrumentServerStub::InterfaceXml());
    std::string method;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) {
            continue;
        }
        const auto attributes = reader.attributes();
        if (reader.name() == QLatin1String("method")) {
            method = attributes.value(QLatin1String("name")).toString().toStdString();
            declared[method];
        } else if (reader.name() == QLatin1String("arg")) {
            const std::string type =
                attributes.value(QLatin1String("type")).toString().toStdString();
            auto& [in, out] = declared[method];
            (attributes.value(QLatin1String("direction")) == QLatin1String("in") ? in : out) +=
                type;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return declared;
}

TEST(Contract, IntrospectionMatchesTheMarshalling) {
    Declared declared = DeclaredSignatures();
    const auto& signatures = InstrumentOperationSignatures();
    EXPECT_EQ(declared.size(), signatures.size());
    for (const OperationSignature& signature : signatures) {
        SCOPED_TRACE(signature.name);
        ASSERT_EQ(declared.count(signature.name), 1U);
        EXPECT_EQ(declared[signature.name].first, signature.in);
        EXPECT_EQ(declared[signature.name].second, signature.out);
    }
}

// Names, directions and order on the bus all come from the table; a change to it shows here
// until the committed file is written anew (orvix-contract-xml > server/<file>).
TEST(Contract, TheCommittedIntrospectionIsTheTablesOwnByteForByte) {
    QFile committed(QStringLiteral(ORVIX_CONTRACT_XML));
    ASSERT_TRUE(committed.open(QIODevice::ReadOnly)) << ORVIX_CONTRACT_XML;
    EXPECT_EQ(committed.readAll().toStdString(), InstrumentContractXml().toUtf8().toStdString());
}

// Arguments every operation accepts, by parameter type; out-blocks are released afterwards.
constexpr std::int32_t kCount = 6;

void Release(InstrumentStatus* p) {
    ReleaseInstrumentStatus(p);
}
void Release(InstrumentConfiguration* p) {
    ReleaseInstrumentConfiguration(p);
}
void Release(SeparationMethod* p) {
    ReleaseSeparationMethod(p);
}
void Release(DataBlockList* p) {
    ReleaseDataBlockList(p);
}
void Release(AutoSamplerSensorRecord* p) {
    ReleaseAutoSamplerSensors(p);
}
void Release(TransferDataBlock* p) {
    ReleaseTransferBlock(p);
}
// The proxy keeps the error list.
void Release(ErrorList*) {}

template <class P> struct Arg {
    P value{};
    P Get() { return value; }
};
template <> struct Arg<std::int32_t> {
    std::int32_t Get() { return kCount; }
};
template <> struct Arg<BSTR> {
    BSTR value = SysAllocString(u"0001");
    ~Arg() { SysFreeString(value); }
    BSTR Get() { return value; }
};
template <> struct Arg<const char*> {
    const char* Get() { return "firmware.s19"; }
};
template <class R> struct Arg<const R*> {
    R record{};
    const R* Get() { return &record; }
};
template <> struct Arg<const PlateConfiguration*> {
    PlateConfiguration plates[kCount]{};
    const PlateConfiguration* Get() { return plates; }
};
template <> struct Arg<const TransferDataBlock*> {
    std::uint8_t data[sizeof(SyringeDataRecord)]{};
    TransferDataBlock block{sizeof(data), data};
    const TransferDataBlock* Get() { return &block; }
};
template <class V> struct Arg<V*> {
    V value{};
    V* Get() { return &value; }
};
template <> struct Arg<std::uint16_t*> {
    std::uint16_t values[kCount]{};
    std::uint16_t* Get() { return values; }
};
template <> struct Arg<BSTR*> {
    BSTR value = nullptr;
    ~Arg() { SysFreeString(value); }
    BSTR* Get() { return &value; }
};
template <class R> struct Arg<R**> {
    R* value = nullptr;
    ~Arg() { Release(value); }
    R** Get() { return &value; }
};

template <class... P>
void CallOnce(IInstrumentServer* server, HRESULT (IInstrumentServer::*operation)(P...)) {
    std::tuple<Arg<P>...> args;
    std::apply([&](auto&... arg) { (server->*operation)(arg.Get()...); }, args);
}

enum class Answer { Records, NullBlocks, Failure };

// Every operation through proxy and stub on the fake; answers each reply's signature.
std::map<std::string, std::string> ReplySignatures(Answer answer) {
    CFakeInstrumentServer* fake = CFakeInstrumentServer::Create();
    fake->nullBlocks = answer == Answer::NullBlocks;
    for (const OperationSignature& signature : InstrumentOperationSignatures()) {
        fake->SetResult(signature.name, answer == Answer::Failure ? E_FAIL : S_OK);
    }
    std::map<std::string, std::string> replies;
    {
        CInstrumentServerStub stub(fake);
        auto* proxy = new CInstrumentServerProxy([&](const QDBusMessage& call) {
            QDBusMessage reply = stub.Answer(call);
            replies[call.member().toStdString()] = MessageSignature(reply).toStdString();
            return reply;
        });
#define ORVIX_CALL_OPERATION(slot, name, kind, access, params, args, bus)                          \
    CallOnce(proxy, &IInstrumentServer::name);
#define ORVIX_SKIP_RESERVED(slot)
        ORVIX_INSTRUMENT_OPERATIONS(ORVIX_CALL_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_CALL_OPERATION
#undef ORVIX_SKIP_RESERVED
        proxy->Release();
    }
    fake->Release();
    return replies;
}

TEST(Contract, EveryRealReplyHasTheDeclaredSignature) {
    const Declared declared = DeclaredSignatures();
    for (const Answer answer : {Answer::Records, Answer::NullBlocks, Answer::Failure}) {
        SCOPED_TRACE(static_cast<int>(answer));
        const std::map<std::string, std::string> replies = ReplySignatures(answer);
        EXPECT_EQ(replies.size(), declared.size());
        for (const auto& [name, signatures] : declared) {
            SCOPED_TRACE(name);
            ASSERT_EQ(replies.count(name), 1U);
            // A failure answers its result code and nothing else.
            EXPECT_EQ(replies.at(name), answer == Answer::Failure ? "i" : signatures.second);
        }
    }
}

} // namespace
