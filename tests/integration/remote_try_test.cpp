// The client against a stand-in ssh that hangs, fails or starts the bridge late, and the
// simulated instrument on a private bus that the stand-in's bridge reaches.
#include "com.h"
#include "command_line.h"
#include "event_log_dock.h"
#include "fake_ssh.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_view.h"
#include "private_bus.h"
#include "process_state.h"
#include "resource.h"
#include "ui.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/prctl.h>

namespace {

// Bounds a wait that should take far less: a hang fails the test instead of stalling it.
constexpr int kBoundMs = 10000;

class RemoteTryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        m_bus.AddSimulator(m_home);
    }
    void TearDown() override {
        CoRevokeLocalServerClass(CLSID_InstrumentServer);
        ResetProcessState();
    }

    QStringList Arguments() const {
        return {QStringLiteral("orvix-client"), QStringLiteral("--host"), QStringLiteral("lab"),
                QStringLiteral("--bus-path"), m_bus.Address()};
    }

    // The real executable, ended by SIGTERM once the stand-in ssh runs; its standard error.
    QString TerminateWhileSshRuns() {
        QTemporaryDir tmp;
        QProcessEnvironment env = m_ssh.Environment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVIX_AUTOANSWER_MESSAGES"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("TMPDIR"), tmp.path());
        // Else Qt makes its runtime folder in TMPDIR.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.path());
        QProcess client;
        client.setProcessEnvironment(env);
        client.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        const int runs = m_ssh.Runs() + 1;
        client.start(BinaryPath(QStringLiteral("orvix-client")), Arguments().mid(1));
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_ssh.Runs() == runs; }, kBoundMs));
        QElapsedTimer ending;
        ending.start();
        client.terminate();
        EXPECT_TRUE(client.waitForFinished(kBoundMs));
        RecordProperty("ms_to_end", static_cast<int>(ending.elapsed()));
        EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
        EXPECT_TRUE(m_ssh.NoneLeft()) << "its ssh ended with it";
        EXPECT_TRUE(
            QDir(tmp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            << "its temporary folder went with it";
        return QString::fromLocal8Bit(client.readAllStandardError());
    }

    // Reset Communications until started says a try has: a try the retry timer started may be
    // in flight, and the button starts none then.
    static bool TryAgain(CMainFrame* frame, const std::function<bool()>& started) {
        return QTest::qWaitFor(
            [&] {
                frame->OnCommand(ID_CONTROL_RESET_COMMUNICATIONS);
                return started();
            },
            kBoundMs);
    }

    CFakeSsh m_ssh;
    QTemporaryDir m_home{QDir::tempPath() + QStringLiteral("/orvix-home-XXXXXX")};
    PrivateBus m_bus;
};

TEST_F(RemoteTryTest, SigtermDuringAHungLoginOrBridgeAtStartEndsTheClientAndItsSsh) {
    for (const CFakeSsh::Mode mode : {CFakeSsh::Mode::HangLogin, CFakeSsh::Mode::HangBridge}) {
        m_ssh.SetMode(mode);
        const QString errors = TerminateWhileSshRuns();
        EXPECT_FALSE(errors.contains(u'|')) << "no box for an end that was asked for\n"
                                            << errors.toStdString();
    }
}

TEST_F(RemoteTryTest, TheStartErrorBoxShowsWhatSshSaidAsItIs) {
    const QString said = QStringLiteral("lab: <b>Permission</b> denied <img src=\"/etc/x.png\">");
    m_ssh.SetMode(CFakeSsh::Mode::Fail, QStringLiteral("<h1>Lab banner</h1>\n") + said + u'\n');
    QStringList boxes;
    const MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest& request) {
        boxes << request.caption + u'|' + request.text;
        return IDOK;
    });
    const QStringList arguments = Arguments();
    RegisterInstrumentServerClass(CCommandLineInfo::Parse(arguments).server);
    {
        COrvixClientApp app;
        EXPECT_FALSE(app.InitInstance(arguments));
        app.ExitInstance();
    }
    SetMessageBoxHandler(previous);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Error|") + said});
}

// Tries that fail say why in the status bar and the event log, once per reason; a try whose
// bridge never answers does not hold up the end.
TEST_F(RemoteTryTest, TheStatusBarSaysWhyAndTheEndWaitsForNoHungTry) {
    m_ssh.SetMode(CFakeSsh::Mode::LateBridge);
    m_ssh.Open();
    const QStringList arguments = Arguments();
    RegisterInstrumentServerClass(CCommandLineInfo::Parse(arguments).server);
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(arguments));
    CMainFrame* frame = app.MainWindow();
    ASSERT_NE(frame, nullptr);
    auto* view = qobject_cast<COrvixClientView*>(app.DocTemplate()->View());
    QLabel* pane = frame->ConnectionPane();
    EXPECT_EQ(pane->textFormat(), Qt::PlainText);
    const QString gone = QStringLiteral("Instrument server gone");

    const QString refused = QStringLiteral("lab: Permission denied (publickey).");
    const QString unreachable = QStringLiteral("ssh: connect to host lab port 22: No route");
    m_ssh.SetMode(CFakeSsh::Mode::Fail, refused);
    m_ssh.KillAll();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            view->OnTimer();
            return pane->text().startsWith(gone);
        },
        kBoundMs));
    for (const QString& reason : {refused, refused, unreachable}) {
        m_ssh.SetMode(CFakeSsh::Mode::Fail, reason);
        const int runs = m_ssh.Runs() + 1;
        ASSERT_TRUE(TryAgain(frame, [&] { return m_ssh.Runs() >= runs; }));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return pane->text() == gone + QStringLiteral(": ") + reason; }, kBoundMs));
    }
    const QString log = frame->findChild<CEventLogDock*>()->Log().Text();
    EXPECT_EQ(log.count(refused), 1) << log.toStdString();
    EXPECT_EQ(log.count(unreachable), 1) << log.toStdString();

    // The retry timer's own try may be the one that hangs; either way one must be in flight.
    m_ssh.SetMode(CFakeSsh::Mode::HangBridge);
    ASSERT_TRUE(TryAgain(frame, [&] { return m_ssh.Runs(CFakeSsh::Mode::HangBridge) > 0; }))
        << pane->text().toStdString();
    app.CloseMainWindow();
    app.ExitInstance();
    EXPECT_TRUE(m_ssh.NoneLeft());
}

} // namespace
