#pragma once

#include <QByteArrayList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A stand-in for ssh, first on PATH while it exists: a small script that logs in nowhere and
// does what its mode says with the remote command it was given. Each run records its process
// id, which is also its process group's.
class CFakeSsh {
public:
    enum class Mode {
        Bridge,     // runs the remote command here: the bridge to the bus the command names
        HangLogin,  // never gets past the login
        HangBridge, // logs in, then the bridge never answers
        Fail,       // writes the chosen text to standard error and fails as ssh does
        LateBridge, // runs the bridge once Open() was called
    };

    CFakeSsh();
    ~CFakeSsh();
    CFakeSsh(const CFakeSsh&) = delete;
    CFakeSsh& operator=(const CFakeSsh&) = delete;

    // For the runs from now on.
    void SetMode(Mode mode, const QString& said = {});
    // Lets a LateBridge run go on.
    void Open();
    // The environment of a program that should find this ssh.
    QProcessEnvironment Environment() const;
    int Runs() const;
    // The runs that ran in mode.
    int Runs(Mode mode) const;
    // Whether no run's process group has a process left, waiting a little for killed ones to
    // go (the more so on a busy machine).
    bool NoneLeft() const;
    // Ends every run's process group.
    void KillAll() const;

private:
    QList<QByteArrayList> RunLines() const;
    QList<int> Pids() const;

    QTemporaryDir m_dir;
    QByteArray m_previousPath;
};
