#include "fake_ssh.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <csignal>

namespace {

constexpr int kGoneWithinMs = 10000;

// The remote command follows "--" and the host, as the client puts it.
const char kScript[] = R"(#!/bin/sh
here=$(dirname "$0")
mode=$(cat "$here/mode")
echo "$$ $mode" >>"$here/pids"
while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do shift; done
shift 2
case $mode in
HangLogin) sleep 600 & wait ;;
HangBridge) echo orvix-bridge-ready; sleep 600 & wait ;;
Fail) cat "$here/said" >&2; exit 255 ;;
LateBridge) until [ -e "$here/open" ]; do sleep 0.05; done; exec sh -c "$*" ;;
*) exec sh -c "$*" ;;
esac
)";

const char* ModeName(CFakeSsh::Mode mode) {
    switch (mode) {
    case CFakeSsh::Mode::HangLogin:
        return "HangLogin";
    case CFakeSsh::Mode::HangBridge:
        return "HangBridge";
    case CFakeSsh::Mode::Fail:
        return "Fail";
    case CFakeSsh::Mode::LateBridge:
        return "LateBridge";
    case CFakeSsh::Mode::Bridge:
        break;
    }
    return "Bridge";
}

// Whole or not at all: a run that starts while the mode changes must never read an empty or
// half-written mode, which the script takes for Bridge.
void Write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        file.commit();
    }
}

// The process groups of the processes that run (zombies no longer do): /proc/PID/stat has the
// state and then the parent and the group after the command's closing parenthesis.
QSet<int> LiveGroups() {
    QSet<int> groups;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(") ") + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z") {
            groups.insert(fields[2].toInt());
        }
    }
    return groups;
}

} // namespace

CFakeSsh::CFakeSsh() : m_previousPath(qgetenv("PATH")) {
    const QString script = m_dir.filePath(QStringLiteral("ssh"));
    Write(script, kScript);
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SetMode(Mode::Bridge);
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_previousPath);
}

CFakeSsh::~CFakeSsh() {
    KillAll();
    qputenv("PATH", m_previousPath);
}

void CFakeSsh::SetMode(Mode mode, const QString& said) {
    Write(m_dir.filePath(QStringLiteral("said")), said.toUtf8());
    Write(m_dir.filePath(QStringLiteral("mode")), ModeName(mode));
}

void CFakeSsh::Open() {
    Write(m_dir.filePath(QStringLiteral("open")), {});
}

QProcessEnvironment CFakeSsh::Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    return environment;
}

// Each run's line: its process id and the mode it ran in.
QList<QByteArrayList> CFakeSsh::RunLines() const {
    QFile file(m_dir.filePath(QStringLiteral("pids")));
    QList<QByteArrayList> runs;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                runs << line.split(' ');
            }
        }
    }
    return runs;
}

QList<int> CFakeSsh::Pids() const {
    QList<int> pids;
    for (const QByteArrayList& run : RunLines()) {
        pids << run.constFirst().toInt();
    }
    return pids;
}

int CFakeSsh::Runs() const {
    return static_cast<int>(RunLines().size());
}

int CFakeSsh::Runs(Mode mode) const {
    const QList<QByteArrayList> runs = RunLines();
    return static_cast<int>(
        std::count_if(runs.cbegin(), runs.cend(), [mode](const QByteArrayList& run) {
            return run.value(1) == ModeName(mode);
        }));
}

bool CFakeSsh::NoneLeft() const {
    return QTest::qWaitFor(
        [this] {
            const QSet<int> groups = LiveGroups();
            const QList<int> pids = Pids();
            return std::none_of(pids.cbegin(), pids.cend(),
                                [&](int pid) { return groups.contains(pid); });
        },
        kGoneWithinMs);
}

void CFakeSsh::KillAll() const {
    for (const int pid : Pids()) {
        ::kill(-pid, SIGKILL);
    }
}
