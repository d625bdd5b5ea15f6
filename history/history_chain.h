#pragma once

#include "history_entry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>

// Each entry's hash covers the hash of the one before it, its place in the chain and its
// fields, so that changing, removing, inserting or reordering an entry breaks every later link.
constexpr int kChainHashBytes = 32;

// The link before the first entry ever written.
QByteArray ChainGenesis();
QByteArray ChainHash(const QByteArray& previous, std::int64_t seq, const HistoryEntry& entry);

// An entry's fields as UTF-8, as the file holds them: what the chain covers.
struct ChainFields {
    std::int64_t timeMs = 0;
    std::int64_t kind = 0;
    QByteArrayView user;
    QByteArrayView host;
    QByteArrayView serial;
    QByteArrayView text;
};
QByteArray ChainHash(QByteArrayView previous, std::int64_t seq, const ChainFields& fields);

// A signed statement that the chain held seq entries ending in head at a time.
struct HistoryCheckpoint {
    std::int64_t timeMs = 0;
    std::int64_t seq = 0;
    QByteArray head;
    QByteArray publicKey;
    QByteArray signature;

    // What the signature covers.
    QByteArray Message() const;
    bool SignatureIsValid() const;
};

// The writer's Ed25519 key, kept per user beside the history, readable by that user only.
class CHistoryKey {
public:
    // Reads the key, or creates it when the file does not exist.
    static std::optional<CHistoryKey> LoadOrCreate(const QString& path, QString* error);

    QByteArray PublicKey() const { return m_publicKey; }
    // Signs the checkpoint as it stands (its public key included).
    void Sign(HistoryCheckpoint& checkpoint) const;

private:
    QByteArray m_publicKey;
    QByteArray m_secretKey;
};

// history.key beside the history file.
QString HistoryKeyPath(const QString& historyPath);
