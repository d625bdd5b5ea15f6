// Hostile messages at both ends of the instrument interface in one pass: the stub decodes a
// call built from the input and hands it to a proxy, whose peer answers with a reply built from
// the rest of the input. Both decoders must refuse what they cannot use, never crash, and leave
// no task-allocator block behind.
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "instrument_signatures.h"
#include "instrument_stub.h"
#include "task_allocator.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The input read as a stream of values; an exhausted input reads as zeros.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t Byte() { return m_next < m_size ? m_data[m_next++] : 0; }

    template <class T> T Scalar() {
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& byte : bytes) {
            byte = Byte();
        }
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    // A length of one or two bytes, then that many bytes (fewer when the input ends).
    QByteArray Bytes() {
        std::size_t length = Byte();
        if (length == 0xFF) {
            length = Scalar<std::uint16_t>();
        }
        length = std::min(length, m_size - m_next);
        QByteArray bytes(reinterpret_cast<const char*>(m_data + m_next),
                         static_cast<qsizetype>(length));
        m_next += length;
        return bytes;
    }

    std::size_t Count() { return Byte() % 8; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

// The complete bus type that starts at pos.
std::string NextType(const std::string& signature, std::size_t pos) {
    std::size_t end = pos;
    while (end < signature.size() && signature[end] == 'a') {
        ++end;
    }
    if (end < signature.size() && signature[end] == '(') {
        int depth = 0;
        do {
            depth += signature[end] == '(' ? 1 : signature[end] == ')' ? -1 : 0;
            ++end;
        } while (end < signature.size() && depth > 0);
    } else {
        ++end;
    }
    return signature.substr(pos, end - pos);
}

WireText TextOf(FuzzInput& in) {
    WireText text;
    text.present = (in.Byte() & 1) != 0;
    text.bytes = in.Bytes();
    return text;
}

QVariant ValueOf(FuzzInput& in, const std::string& type) {
    if (type == "d") {
        return QVariant(in.Scalar<double>());
    }
    if (type == "s") {
        return QVariant(QString::fromUtf8(in.Bytes()));
    }
    if (type == "ay") {
        return QVariant(in.Bytes());
    }
    if (type == "aq") {
        QList<quint16> words;
        for (std::size_t n = in.Count(); n > 0; --n) {
            words << in.Scalar<quint16>();
        }
        return WireVariant(words);
    }
    if (type == "(bay)") {
        return WireVariant(TextOf(in));
    }
    if (type == "a(bay)") {
        QList<WireText> texts;
        for (std::size_t n = in.Count(); n > 0; --n) {
            texts << TextOf(in);
        }
        return WireVariant(texts);
    }
    if (type == "aay") {
        QByteArrayList blobs;
        for (std::size_t n = in.Count(); n > 0; --n) {
            blobs << in.Bytes();
        }
        return WireVariant(blobs);
    }
    return QVariant(in.Scalar<std::int32_t>());
}

QVariantList ValuesOf(FuzzInput& in, const std::string& signature, std::size_t from = 0) {
    QVariantList values;
    for (std::size_t pos = from; pos < signature.size();) {
        const std::string type = NextType(signature, pos);
        values << ValueOf(in, type);
        pos += type.size();
    }
    return values;
}

const QDBusError::ErrorType kErrors[] = {QDBusError::NoReply,       QDBusError::ServiceUnknown,
                                         QDBusError::Disconnected,  QDBusError::InvalidArgs,
                                         QDBusError::UnknownMethod, QDBusError::Failed};

enum Flags : std::uint8_t {
    kForeignCall = 1,  // the call carries another operation's arguments
    kErrorReply = 2,   // the peer answers with a bus error
    kForeignReply = 4, // the reply carries another operation's out-values
    kFailedResult = 8, // the reply's result code is taken from the input, often negative
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    RegisterInstrumentWireTypes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<OperationSignature>& operations = InstrumentOperationSignatures();
    FuzzInput in(data, size);
    const OperationSignature& operation = operations[in.Byte() % operations.size()];
    const std::uint8_t flags = in.Byte();
    const OperationSignature& callShape =
        (flags & kForeignCall) != 0 ? operations[in.Byte() % operations.size()] : operation;
    const OperationSignature& replyShape =
        (flags & kForeignReply) != 0 ? operations[in.Byte() % operations.size()] : operation;

    QDBusMessage call =
        QDBusMessage::createMethodCall(QString(), kInstrumentObjectPath, kInstrumentInterface,
                                       QString::fromStdString(operation.name));
    call.setArguments(ValuesOf(in, callShape.in));

    const std::int64_t blocksBefore = CoTaskMemLiveBlocks();
    auto* proxy = new CInstrumentServerProxy([&](const QDBusMessage& sent) {
        if ((flags & kErrorReply) != 0) {
            return sent.createErrorReply(kErrors[in.Byte() % std::size(kErrors)], QString());
        }
        const std::int32_t result = (flags & kFailedResult) != 0 ? in.Scalar<std::int32_t>() : 0;
        QVariantList reply{QVariant(result)};
        reply << ValuesOf(in, replyShape.out, 1);
        return sent.createReply(reply);
    });
    {
        CInstrumentServerStub stub(proxy);
        // No bus behind this connection: the stub's reply goes nowhere once it is built.
        stub.handleMessage(call, QDBusConnection(QStringLiteral("orvix-fuzz-nowhere")));
    }
    proxy->Release();
    if (CoTaskMemLiveBlocks() != blocksBefore) {
        std::abort();
    }
    return 0;
}
