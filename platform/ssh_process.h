#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

#include <sys/types.h>

// One ssh process, started in a process group of its own so that ending it ends whatever it
// started (a ProxyCommand, a hung helper) and a Ctrl+C on the terminal reaches only this
// program. It speaks on one end of a socket pair; its standard error goes to a file, read back
// for what went wrong.
class CSshProcess {
public:
    CSshProcess() = default;
    // Ends the process group and waits for ssh.
    ~CSshProcess();
    CSshProcess(const CSshProcess&) = delete;
    CSshProcess& operator=(const CSshProcess&) = delete;

    // Starts argv (argv[0] looked up in PATH); false with *error when it could not start.
    bool Start(const QStringList& argv, const QString& errorFile, QString* error);
    // This side of ssh's standard input and output; non-blocking, owned by this object until
    // taken.
    int Socket() const { return m_socket; }
    int TakeSocket();
    // Whether ssh has ended, without reaping it.
    bool HasEnded() const;
    // Gives ssh up to limit to end by itself (to write out why); true when it has.
    bool WaitForEnd(std::chrono::milliseconds limit) const;
    // The size of the error file so far, to read only what came after it.
    qint64 ErrorSize() const;
    // The last non-blank line ssh wrote to its standard error from offset on, or empty.
    QString LastErrorLine(qint64 offset = 0) const;
    // SIGTERM to the group, SIGKILL to what is left after a moment; ssh is reaped.
    void Stop();

private:
    pid_t m_pid = -1;
    int m_socket = -1;
    QString m_errorFile;
};
