#include "ssh_process.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

// ssh closes its connection cleanly on SIGTERM; one that does not end by then is killed.
constexpr auto kTermGrace = std::chrono::milliseconds(500);
constexpr auto kReapPoll = std::chrono::milliseconds(5);
// Enough of the end of the error file for its last lines, whatever came before them.
constexpr qint64 kErrorTail = 4096;

// Handlers are reset by exec; what Qt or the test harness blocked or ignored is not.
void DefaultSignals(posix_spawnattr_t* attributes) {
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signalNumber : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD}) {
        sigaddset(&defaults, signalNumber);
    }
    posix_spawnattr_setsigdefault(attributes, &defaults);
}

} // namespace

CSshProcess::~CSshProcess() {
    Stop();
}

bool CSshProcess::Start(const QStringList& argv, const QString& errorFile, QString* error) {
    int sockets[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_errorFile = errorFile;
    const QByteArray errorPath = QFile::encodeName(errorFile);
    std::vector<QByteArray> words;
    for (const QString& word : argv) {
        words.push_back(word.toLocal8Bit());
    }
    std::vector<char*> args;
    for (QByteArray& word : words) {
        args.push_back(word.data());
    }
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    DefaultSignals(&attributes);
    const int started =
        ::posix_spawnp(&m_pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(sockets[1]);
    if (started != 0) {
        m_pid = -1;
        ::close(sockets[0]);
        *error =
            argv.value(0) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(started));
        return false;
    }
    ::fcntl(sockets[0], F_SETFL, ::fcntl(sockets[0], F_GETFL) | O_NONBLOCK);
    m_socket = sockets[0];
    return true;
}

int CSshProcess::TakeSocket() {
    return std::exchange(m_socket, -1);
}

bool CSshProcess::HasEnded() const {
    if (m_pid <= 0) {
        return true;
    }
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == m_pid;
}

bool CSshProcess::WaitForEnd(std::chrono::milliseconds limit) const {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!HasEnded()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(kReapPoll);
    }
    return true;
}

qint64 CSshProcess::ErrorSize() const {
    return QFile(m_errorFile).size();
}

QString CSshProcess::LastErrorLine(qint64 offset) const {
    QFile file(m_errorFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    file.seek(std::max(offset, file.size() - kErrorTail));
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(u'\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString trimmed = line->trimmed();
        if (!trimmed.isEmpty()) {
            return trimmed;
        }
    }
    return {};
}

void CSshProcess::Stop() {
    if (m_socket >= 0) {
        ::close(std::exchange(m_socket, -1));
    }
    if (m_pid <= 0) {
        return;
    }
    // The group stays while ssh is an unreaped zombie, so its id cannot name another group.
    ::kill(-m_pid, SIGTERM);
    WaitForEnd(kTermGrace);
    ::kill(-m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
}
