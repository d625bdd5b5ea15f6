#pragma once

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <netinet/in.h>

// 127.0.0.1 at port.
sockaddr_in Loopback(int port);

// An sshd of the test's own on 127.0.0.1 at a free port, with a throwaway host key and a
// throwaway client key in a temporary folder; it ends with this object. Only loopback.
class LoopbackSshServer {
public:
    LoopbackSshServer();
    ~LoopbackSshServer();
    LoopbackSshServer(const LoopbackSshServer&) = delete;
    LoopbackSshServer& operator=(const LoopbackSshServer&) = delete;

    // What this machine lacks for it (no sshd, no bridge), or empty.
    const QString& Missing() const { return m_missing; }
    // Empty when it runs; else why it did not start.
    const QString& Problem() const { return m_problem; }

    QString Host() const { return QStringLiteral("127.0.0.1"); }
    int Port() const { return m_port; }
    // The ssh options (as -o takes them) that log in with the client key, or with identity when
    // given, and check the host key.
    QStringList ClientOptions(const QString& identity = {}) const;
    // A key pair that the server does not accept.
    QString UnknownKey() const { return m_dir.filePath(QStringLiteral("unknown_key")); }
    // Ends the ssh clients that run with this server's client key: their connections drop.
    // Answers their process ids.
    QList<int> KillClients() const;

private:
    // Keys and the authorised key; false when something is missing or cannot be made.
    bool Prepare();
    // sshd on a port found free just now; false when it does not listen there.
    bool Start();
    bool WriteConfiguration() const;

    // Of its own name: sshd's configuration takes no blanks in its paths.
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/orvix-sshd-XXXXXX")};
    QProcess m_sshd;
    int m_port = 0;
    QString m_missing;
    QString m_problem;
};
