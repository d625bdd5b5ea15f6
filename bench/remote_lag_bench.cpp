// How live the window stays when the instrument is reached over a long link: the client logs in
// through its own ssh to an sshd on loopback behind a relay that delays each direction, to the
// simulated instrument on a private bus there. Events posted to the GUI thread record how long
// they wait there: with the main window alone, then with the Service Diagnostics sheet on I/O
// after Valves and AutoSampler Sensors. Each round trip runs with the proxy reading ahead and
// asking each time. Also the time from start to the first live value.
//
//   QT_QPA_PLATFORM=offscreen dbus-run-session -- build-rel/bin/orvix-remote-lag-bench
//       [--round-trips 0,50,150,300] [--seconds 12]
#include "com.h"
#include "command_line.h"
#include "delay_relay.h"
#include "diagnostic_sheets.h"
#include "instrument_proxy.h"
#include "loopback_ssh.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_view.h"
#include "private_bus.h"
#include "process_state.h"
#include "resource.h"
#include "string_table.h"
#include "ui.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr int kLoginTimeoutMs = 60000;
constexpr int kPageVisitMs = 1500;
// A read becomes a repeated one at its second call, and a page change drops what was read ahead:
// the slowest timer's period and a little more before the steady state is measured.
constexpr int kSettleMs = 2500;

// How long an event posted to the GUI thread at a random moment waits there, in
// milliseconds, as a resize or a key press would: a thread posts one every few milliseconds.
class LagProbe {
public:
    ~LagProbe() { Stop(); }
    void Start() {
        m_waitedMs.clear();
        m_running = true;
        m_poster = std::thread([this] {
            while (m_running) {
                const auto posted = std::chrono::steady_clock::now();
                QMetaObject::invokeMethod(
                    &m_receiver,
                    [this, posted] {
                        m_waitedMs.push_back(std::chrono::duration<double, std::milli>(
                                                 std::chrono::steady_clock::now() - posted)
                                                 .count());
                    },
                    Qt::QueuedConnection);
                std::this_thread::sleep_for(kPostInterval);
            }
        });
    }
    void Stop() {
        m_running = false;
        if (m_poster.joinable()) {
            m_poster.join();
        }
    }
    // p50 / p95 / max.
    QString Figures() const {
        std::vector<double> waited = m_waitedMs;
        if (waited.empty()) {
            return QStringLiteral("-");
        }
        std::sort(waited.begin(), waited.end());
        const auto at = [&](double share) {
            return waited[std::min(waited.size() - 1,
                                   static_cast<std::size_t>(share * waited.size()))];
        };
        return QStringLiteral("%1 / %2 / %3")
            .arg(at(0.5), 0, 'f', 1)
            .arg(at(0.95), 0, 'f', 1)
            .arg(waited.back(), 0, 'f', 0);
    }

private:
    static constexpr std::chrono::milliseconds kPostInterval{5};

    QObject m_receiver;
    std::atomic<bool> m_running{false};
    std::thread m_poster;
    std::vector<double> m_waitedMs;
};

void RunEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

template <class Page> int PageIndex(const CDiagnosticSheet& sheet) {
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        if (dynamic_cast<Page*>(sheet.GetPage(i)) != nullptr) {
            return i;
        }
    }
    return 0;
}

struct Figures {
    qint64 firstValueMs = -1;
    QString window;
    QString sheet;
};

// The sheet on Valves, then AutoSampler Sensors, then I/O, where the probe runs.
QString ProbeServiceSheet(CMainFrame* frame, int seconds) {
    CDiagnosticSheet sheet(LoadString(IDS_SERVICE_DIAGNOSTICS), frame, 0);
    LagProbe probe;
    QTimer::singleShot(0, &sheet, [&] {
        sheet.SetActivePage(PageIndex<CPageValves>(sheet));
        RunEventsFor(kPageVisitMs);
        sheet.SetActivePage(PageIndex<CPageAutoSamplerSensors>(sheet));
        RunEventsFor(kPageVisitMs);
        sheet.SetActivePage(PageIndex<CPageIO>(sheet));
        RunEventsFor(kSettleMs);
        probe.Start();
        RunEventsFor(seconds * 1000);
        probe.Stop();
        sheet.PressButton(QStringLiteral("Cancel"));
    });
    sheet.DoModal();
    return probe.Figures();
}

std::optional<Figures> Measure(const QStringList& arguments, PeriodicReads reads, int seconds) {
    ResetProcessState();
    RegisterInstrumentServerClass(CCommandLineInfo::Parse(arguments).server, reads);
    QElapsedTimer clock;
    clock.start();
    std::optional<Figures> figures;
    {
        COrvixClientApp app;
        if (app.InitInstance(arguments)) {
            auto* view = qobject_cast<COrvixClientView*>(app.DocTemplate()->View());
            const auto* pressure = view->findChild<QLabel*>(QStringLiteral("pressureText"));
            if (QTest::qWaitFor([&] { return !pressure->text().isEmpty(); }, kLoginTimeoutMs)) {
                figures.emplace();
                figures->firstValueMs = clock.elapsed();
                RunEventsFor(kSettleMs);
                LagProbe probe;
                probe.Start();
                RunEventsFor(seconds * 1000);
                probe.Stop();
                figures->window = probe.Figures();
                figures->sheet = ProbeServiceSheet(app.MainWindow(), seconds);
            }
            app.MainWindow()->close();
        }
        app.ExitInstance();
    }
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    ResetProcessState();
    return figures;
}

QList<int> RoundTrips(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--round-trips"));
    const QString list = at >= 0 ? arguments.value(at + 1) : QStringLiteral("0,50,150,300");
    QList<int> roundTrips;
    for (const QString& value : list.split(u',')) {
        roundTrips << value.toInt();
    }
    return roundTrips;
}

int Seconds(const QStringList& arguments) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--seconds"));
    return at >= 0 ? arguments.value(at + 1).toInt() : 12;
}

} // namespace

int main(int argc, char** argv) {
    const QTemporaryDir home;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
        qputenv(variable, home.path().toLocal8Bit() + '/' + variable);
    }
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "%s|%s\n", qPrintable(request.caption), qPrintable(request.text));
        return IDOK;
    });
    const LoopbackSshServer sshd;
    if (!sshd.Missing().isEmpty() || !sshd.Problem().isEmpty()) {
        std::fprintf(stderr, "no loopback sshd: %s%s\n", qPrintable(sshd.Missing()),
                     qPrintable(sshd.Problem()));
        return 1;
    }
    // The simulated instrument beside this program in bin/.
    if (qEnvironmentVariableIsEmpty("ORVIX_BIN_DIR")) {
        qputenv("ORVIX_BIN_DIR", QCoreApplication::applicationDirPath().toLocal8Bit());
    }
    PrivateBus bus;
    bus.AddSimulator(home);

    std::printf("%-10s %-12s %-16s %-28s %-28s\n", "round trip", "reads", "first value ms",
                "window wait p50/p95/max ms", "sheet on I/O wait p50/p95/max ms");
    for (const int roundTrip : RoundTrips(arguments)) {
        const DelayRelay relay(sshd.Port(), std::chrono::milliseconds(roundTrip));
        // ssh goes to the relay's port and checks the host key known for sshd's.
        QStringList client{QStringLiteral("orvix-client"), QStringLiteral("--host"), sshd.Host()};
        QStringList options{
            QStringLiteral("Port=%1").arg(relay.Port()),
            QStringLiteral("HostKeyAlias=[%1]:%2").arg(sshd.Host()).arg(sshd.Port())};
        options << sshd.ClientOptions();
        for (const QString& option : options) {
            client << QStringLiteral("--ssh-option") << option;
        }
        client << QStringLiteral("--bus-path") << bus.Address();
        for (const auto& [reads, name] : {std::pair{PeriodicReads::ReadAhead, "read ahead"},
                                          std::pair{PeriodicReads::AskEachTime, "each time"}}) {
            const std::optional<Figures> figures = Measure(client, reads, Seconds(arguments));
            if (!figures) {
                std::printf("%-10d %-12s no live value within %d s\n", roundTrip, name,
                            kLoginTimeoutMs / 1000);
                continue;
            }
            std::printf("%-10d %-12s %-16lld %-28s %-28s\n", roundTrip, name,
                        static_cast<long long>(figures->firstValueMs), qPrintable(figures->window),
                        qPrintable(figures->sheet));
            std::fflush(stdout);
        }
    }
    return 0;
}
