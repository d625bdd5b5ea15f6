#include "history_chain.h"

#include "private_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <array>

namespace {

constexpr char kCheckpointDomain[] = "orvix-history-checkpoint";

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

void AddNumber(crypto_generichash_state& state, std::int64_t value) {
    std::array<unsigned char, sizeof(std::int64_t)> bytes{};
    auto bits = static_cast<std::uint64_t>(value);
    for (unsigned char& byte : bytes) {
        byte = static_cast<unsigned char>(bits & 0xFFU);
        bits >>= 8U;
    }
    crypto_generichash_update(&state, bytes.data(), bytes.size());
}

// Length first, so that no two different field lists hash the same bytes.
void AddText(crypto_generichash_state& state, QByteArrayView utf8) {
    AddNumber(state, utf8.size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(utf8.data()),
                              static_cast<unsigned long long>(utf8.size()));
}

void AppendNumber(QByteArray& bytes, std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < sizeof(value); ++i) {
        bytes.append(static_cast<char>(bits & 0xFFU));
        bits >>= 8U;
    }
}

const unsigned char* Bytes(const QByteArray& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.constData());
}

} // namespace

QByteArray ChainGenesis() {
    return QByteArray(kChainHashBytes, '\0');
}

QByteArray ChainHash(const QByteArray& previous, std::int64_t seq, const HistoryEntry& entry) {
    const QByteArray user = entry.user.toUtf8();
    const QByteArray host = entry.host.toUtf8();
    const QByteArray serial = entry.serial.toUtf8();
    const QByteArray text = entry.text.toUtf8();
    return ChainHash(
        previous, seq,
        {entry.timeMs, static_cast<std::int64_t>(entry.kind), user, host, serial, text});
}

QByteArray ChainHash(QByteArrayView previous, std::int64_t seq, const ChainFields& fields) {
    SodiumReady();
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, kChainHashBytes);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(previous.data()),
                              static_cast<unsigned long long>(previous.size()));
    AddNumber(state, seq);
    AddNumber(state, fields.timeMs);
    AddNumber(state, fields.kind);
    AddText(state, fields.user);
    AddText(state, fields.host);
    AddText(state, fields.serial);
    AddText(state, fields.text);
    QByteArray hash(kChainHashBytes, '\0');
    crypto_generichash_final(&state, reinterpret_cast<unsigned char*>(hash.data()),
                             kChainHashBytes);
    return hash;
}

QByteArray HistoryCheckpoint::Message() const {
    QByteArray message(kCheckpointDomain, sizeof(kCheckpointDomain));
    AppendNumber(message, seq);
    AppendNumber(message, timeMs);
    message += head;
    message += publicKey;
    return message;
}

bool HistoryCheckpoint::SignatureIsValid() const {
    if (!SodiumReady() || publicKey.size() != crypto_sign_PUBLICKEYBYTES ||
        signature.size() != crypto_sign_BYTES) {
        return false;
    }
    const QByteArray message = Message();
    return crypto_sign_verify_detached(Bytes(signature), Bytes(message),
                                       static_cast<unsigned long long>(message.size()),
                                       Bytes(publicKey)) == 0;
}

std::optional<CHistoryKey> CHistoryKey::LoadOrCreate(const QString& path, QString* error) {
    if (!SodiumReady()) {
        *error = QStringLiteral("libsodium could not start");
        return std::nullopt;
    }
    CHistoryKey key;
    QFile file(path);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            *error =
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return std::nullopt;
        }
        key.m_secretKey = file.read(crypto_sign_SECRETKEYBYTES + 1);
        if (key.m_secretKey.size() != crypto_sign_SECRETKEYBYTES) {
            *error = QStringLiteral("%1 is not a signing key").arg(QDir::toNativeSeparators(path));
            return std::nullopt;
        }
        key.m_publicKey = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
        crypto_sign_ed25519_sk_to_pk(reinterpret_cast<unsigned char*>(key.m_publicKey.data()),
                                     Bytes(key.m_secretKey));
        return key;
    }
    key.m_publicKey = QByteArray(crypto_sign_PUBLICKEYBYTES, '\0');
    key.m_secretKey = QByteArray(crypto_sign_SECRETKEYBYTES, '\0');
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(key.m_publicKey.data()),
                        reinterpret_cast<unsigned char*>(key.m_secretKey.data()));
    if (!WritePrivateFile(path, key.m_secretKey, error)) {
        return std::nullopt;
    }
    return key;
}

void CHistoryKey::Sign(HistoryCheckpoint& checkpoint) const {
    checkpoint.publicKey = m_publicKey;
    const QByteArray message = checkpoint.Message();
    checkpoint.signature = QByteArray(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(checkpoint.signature.data()), nullptr,
                         Bytes(message), static_cast<unsigned long long>(message.size()),
                         Bytes(m_secretKey));
}

QString HistoryKeyPath(const QString& historyPath) {
    return QFileInfo(historyPath).absoluteDir().filePath(QStringLiteral("history.key"));
}
