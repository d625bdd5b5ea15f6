#include "private_bus.h"

#include "instrument_bus.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTextStream>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

PrivateBus::PrivateBus() {
    const QString services = m_dir.filePath(QStringLiteral("services"));
    QDir().mkpath(services);
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return;
    }
    QTextStream(&file) << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                          "Configuration 1.0//EN\"\n"
                          " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                          "<busconfig>\n  <type>session</type>\n"
                       << "  <listen>unix:dir=" << m_dir.path() << "</listen>\n"
                       << "  <auth>EXTERNAL</auth>\n"
                       << "  <servicedir>" << services << "</servicedir>\n"
                       << "  <policy context=\"default\">\n"
                          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n"
                          "  </policy>\n</busconfig>\n";
    file.close();
    m_daemon.setProgram(QStringLiteral("dbus-daemon"));
    m_daemon.setArguments({QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                           QStringLiteral("--print-address")});
    m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
    // A test that crashes must not leave its bus, and so the servers on it, running.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_daemon.start();
    if (!m_daemon.waitForStarted(5000)) {
        return;
    }
    while (m_daemon.state() == QProcess::Running && !m_daemon.canReadLine()) {
        m_daemon.waitForReadyRead(5000);
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus() {
    Stop();
}

void PrivateBus::Stop() {
    for (const QString& name : std::as_const(m_connections)) {
        QDBusConnection::disconnectFromBus(name);
    }
    m_connections.clear();
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
}

QDBusConnection PrivateBus::Connect(const QString& connectionName) {
    m_connections << connectionName;
    return QDBusConnection::connectToBus(m_address, connectionName);
}

void PrivateBus::Disconnect(const QString& connectionName) {
    m_connections.removeAll(connectionName);
    QDBusConnection::disconnectFromBus(connectionName);
}

void PrivateBus::StartOnBus(QProcess& process, const QString& program, const QStringList& arguments,
                            const QProcessEnvironment& extra) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    for (const QString& key : extra.keys()) {
        environment.insert(key, extra.value(key));
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
}

bool PrivateBus::WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void PrivateBus::AddSimulator(const QTemporaryDir& home, const QString& silkDir) {
    AddService(kInstrumentServiceName, BinaryPath(QStringLiteral("orvix-instrument-server")),
               {QStringLiteral("-Embedding"), QStringLiteral("--manual-clock"),
                QStringLiteral("--state-file"), home.filePath(QStringLiteral("state")),
                QStringLiteral("--silk-dir"),
                silkDir.isEmpty() ? home.filePath(QStringLiteral("silk")) : silkDir});
}

void PrivateBus::AddService(const QString& name, const QString& program, const QStringList& args) {
    QFile file(m_dir.filePath(QStringLiteral("services/") + name + QStringLiteral(".service")));
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream(&file) << "[D-BUS Service]\nName=" << name << "\nExec=" << program << ' '
                           << args.join(u' ') << '\n';
    }
    file.close();
    ReloadConfig();
}

void PrivateBus::RemoveService(const QString& name) {
    QFile::remove(m_dir.filePath(QStringLiteral("services/") + name + QStringLiteral(".service")));
    ReloadConfig();
}

void PrivateBus::ReloadConfig() {
    QDBusConnection bus = Connect(QStringLiteral("private-bus-control"));
    bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
}

qint64 PrivateBus::OwnerPid(const QString& name) {
    QDBusConnection bus = Connect(QStringLiteral("private-bus-control"));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
    call << name;
    const QDBusMessage reply = bus.call(call);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toLongLong() : 0;
}

QString BinaryPath(const QString& name) {
    const QString dir = QProcessEnvironment::systemEnvironment().value(
        QStringLiteral("ORVIX_BIN_DIR"), QStringLiteral("."));
    return dir + u'/' + name;
}
