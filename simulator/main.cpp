#include "control_verbs.h"
#include "dbus_link.h"
#include "instrument_bus.h"
#include "instrument_stub.h"
#include "non_volatile_memory.h"
#include "registration.h"
#include "simulated_server.h"
#include "simulator_control.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QTimer>

#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kTickMs = 100;

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so that the memory is committed on the way out.
void QuitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void Print(std::FILE* stream, const QString& text) {
    std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
}

// "--RegServer", "-RegServer" and "/RegServer" alike, in any case.
bool IsSwitch(const QString& argument, const QString& name) {
    QString bare = argument;
    if (bare.startsWith(QLatin1String("--"))) {
        bare = bare.mid(2);
    } else if (bare.startsWith(u'-') || bare.startsWith(u'/')) {
        bare = bare.mid(1);
    }
    return bare.compare(name, Qt::CaseInsensitive) == 0;
}

struct Options {
    bool manualClock = false;
    QString stateFile;
    QString silkFolder;
    std::optional<int> linesPerSecond;
};

QString DefaultSilkFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/orvix/silk");
}

int Serve(QCoreApplication& app, const Options& options) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Print(stderr, QStringLiteral("orvix-instrument-server: no session bus: %1")
                          .arg(bus.lastError().message()));
        return 1;
    }
    // The name first: a second server must not touch the state file of the one that runs.
    // Calls wait in the connection until the event loop starts, so owning the name before the
    // object is registered loses none.
    if (!bus.registerService(kInstrumentServiceName)) {
        const QString why = bus.lastError().isValid() ? bus.lastError().message()
                                                      : QStringLiteral("another server runs");
        Print(stderr, QStringLiteral("orvix-instrument-server: cannot own %1: %2")
                          .arg(kInstrumentServiceName, why));
        return 1;
    }
    CSimClock clock(options.manualClock ? CSimClock::Mode::Manual : CSimClock::Mode::Real);
    CNonVolatileMemory memory(options.stateFile.isEmpty() ? CNonVolatileMemory::DefaultPath()
                                                          : options.stateFile.toStdString());
    const std::optional<std::string> damage = memory.Load();
    CSimulatedInstrumentServer* server = CSimulatedInstrumentServer::Create(
        clock, memory,
        (options.silkFolder.isEmpty() ? DefaultSilkFolder() : options.silkFolder).toStdString());
    if (damage) {
        Print(stderr,
              QStringLiteral("orvix-instrument-server: %1").arg(QString::fromStdString(*damage)));
        server->Instrument().Errors().Raise("Non-volatile memory lost: " + *damage);
        // The defaults replace the damaged file at once.
        server->Instrument().CommitMemory(true);
    }
    if (options.linesPerSecond) {
        server->Instrument().Firmware().SetLinesPerSecond(*options.linesPerSecond);
    }
    int result = 0;
    {
        CInstrumentServerStub stub(server);
        CSimulatorControl control(*server);
        stub.AddInterface(kSimulatorControlInterface, ControlIntrospectionXml(),
                          [&control](const QDBusMessage& message, const QDBusConnection& link) {
                              return control.Handle(message, link);
                          });
        if (!stub.Register(bus)) {
            Print(stderr, QStringLiteral("orvix-instrument-server: cannot serve %1: %2")
                              .arg(kInstrumentObjectPath, bus.lastError().message()));
            result = 1;
        } else {
            QuitWhenBusDisconnects(bus, &app);
            QuitOnSignals(app);
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [server] { server->Tick(); });
            tick.start(kTickMs);
            result = QCoreApplication::exec();
        }
        bus.unregisterObject(kInstrumentObjectPath);
    }
    bus.unregisterService(kInstrumentServiceName);
    server->Release();
    return result;
}

void Usage() {
    Print(stdout,
          QStringLiteral("Usage: orvix-instrument-server [options]\n"
                         "Serves a simulated instrument on the session bus as %1.\n"
                         "\n"
                         "  --RegServer          register for D-Bus activation and exit\n"
                         "  --UnregServer        remove the registration and exit\n"
                         "  -Embedding           serve (how D-Bus starts the server)\n"
                         "  --manual-clock       start with the manual clock\n"
                         "  --state-file PATH    non-volatile state (default $XDG_STATE_HOME/orvix/"
                         "instrument-server.state)\n"
                         "  --silk-dir PATH      folder for uploaded Silk files\n"
                         "  --download-rate N    firmware lines sent per second\n"
                         "\n"
                         "Acting on the running server:\n"
                         "%2")
              .arg(kInstrumentServiceName, ControlVerbsHelp()));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty() && IsControlVerb(arguments.constFirst())) {
        return RunControlVerb(arguments);
    }
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (IsSwitch(argument, QStringLiteral("RegServer"))) {
            const QString error = RegisterServer(QCoreApplication::applicationFilePath());
            if (!error.isEmpty()) {
                Print(
                    stderr,
                    QStringLiteral("orvix-instrument-server: registration failed: %1").arg(error));
                return 1;
            }
            Print(stdout, QStringLiteral("orvix-instrument-server: registered in %1")
                              .arg(ActivationFilePath()));
            return 0;
        }
        if (IsSwitch(argument, QStringLiteral("UnregServer"))) {
            const QString error = UnregisterServer();
            if (!error.isEmpty()) {
                Print(stderr, QStringLiteral("orvix-instrument-server: unregistration failed: %1")
                                  .arg(error));
                return 1;
            }
            Print(stdout, QStringLiteral("orvix-instrument-server: registration removed (%1)")
                              .arg(ActivationFilePath()));
            return 0;
        }
        if (IsSwitch(argument, QStringLiteral("Embedding"))) {
            continue;
        }
        if (argument == QLatin1String("--manual-clock")) {
            options.manualClock = true;
        } else if (argument == QLatin1String("--state-file") && hasValue) {
            options.stateFile = arguments[++i];
        } else if (argument == QLatin1String("--silk-dir") && hasValue) {
            options.silkFolder = arguments[++i];
        } else if (argument == QLatin1String("--download-rate") && hasValue) {
            bool ok = false;
            options.linesPerSecond = arguments[++i].toInt(&ok);
            if (!ok || *options.linesPerSecond < 1 ||
                *options.linesPerSecond > CFirmware::kMaxLinesPerSecond) {
                Print(stderr, QStringLiteral("orvix-instrument-server: the download rate is 1 to "
                                             "%1 lines per second")
                                  .arg(CFirmware::kMaxLinesPerSecond));
                return 2;
            }
        } else if (IsSwitch(argument, QStringLiteral("help")) || argument == QLatin1String("-h")) {
            Usage();
            return 0;
        } else {
            Print(stderr,
                  QStringLiteral("orvix-instrument-server: unknown argument %1 (try --help)")
                      .arg(argument));
            return 2;
        }
    }
    return Serve(app, options);
}
