// The client against the simulated instrument on a private bus that only an sshd on loopback
// reaches: the bus goes over SSH and systemd's stdio bridge, as to a lab's instrument PC.
#include "com.h"
#include "command_line.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "loopback_ssh.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_view.h"
#include "private_bus.h"
#include "process_state.h"
#include "resource.h"
#include "ui.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int kSshTimeoutMs = 30000;

bool IsZombie(int pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    const qsizetype stateAt = line.lastIndexOf(") ") + 2;
    return stateAt >= 2 && stateAt < line.size() && line[stateAt] == 'Z';
}

class SshSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_ssh.Missing().isEmpty()) {
            GTEST_SKIP() << m_ssh.Missing().toStdString();
        }
        ASSERT_TRUE(m_ssh.Problem().isEmpty()) << m_ssh.Problem().toStdString();
        ResetProcessState();
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        m_bus.AddSimulator(m_home);
        m_previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
    }
    void TearDown() override {
        if (IsSkipped()) {
            return;
        }
        SetMessageBoxHandler(m_previousBox);
        CoRevokeLocalServerClass(CLSID_InstrumentServer);
        ResetProcessState();
    }

    // The command line a user types for the lab PC, with the test's keys.
    QStringList Arguments(const QString& identity = {}) const {
        QStringList arguments{QStringLiteral("orvix-client"), QStringLiteral("--host"),
                              m_ssh.Host()};
        for (const QString& option : m_ssh.ClientOptions(identity)) {
            arguments << QStringLiteral("--ssh-option") << option;
        }
        return arguments << QStringLiteral("--bus-path") << m_bus.Address();
    }

    // The real executable, with its message boxes answered and printed; its standard error.
    QString RunClient(const QStringList& arguments, const std::function<bool()>& until = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVIX_AUTOANSWER_MESSAGES"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        QProcess client;
        client.setProcessEnvironment(env);
        client.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        client.start(BinaryPath(QStringLiteral("orvix-client")), arguments.mid(1));
        EXPECT_TRUE(client.waitForStarted(10000));
        if (until) {
            EXPECT_TRUE(QTest::qWaitFor(until, kSshTimeoutMs));
            client.terminate();
        }
        EXPECT_TRUE(client.waitForFinished(kSshTimeoutMs));
        const QString errors = QString::fromLocal8Bit(client.readAllStandardError());
        EXPECT_EQ(client.exitCode(), 0) << errors.toStdString();
        return errors;
    }

    LoopbackSshServer m_ssh;
    QTemporaryDir m_home{QDir::tempPath() + QStringLiteral("/orvix-home-XXXXXX")};
    PrivateBus m_bus;
    QStringList boxes;
    MessageBoxHandler m_previousBox;
};

TEST_F(SshSimulatorTest, TheWindowShowsTheRemoteInstrumentAndFindsItAgainAfterSshDropped) {
    const QStringList arguments = Arguments();
    RegisterInstrumentServerClass(CCommandLineInfo::Parse(arguments).server);
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(arguments)) << boxes.join(u'\n').toStdString();
    CMainFrame* frame = app.MainWindow();
    ASSERT_NE(frame, nullptr);
    auto* view = qobject_cast<COrvixClientView*>(app.DocTemplate()->View());
    auto* pressure = view->findChild<QLabel*>(QStringLiteral("pressureText"));
    const qint64 serverPid = m_bus.OwnerPid(kInstrumentServiceName);
    EXPECT_GT(serverPid, 0) << "the remote bus started the server";
    ASSERT_NE(frame->HostPane(), nullptr);
    EXPECT_EQ(frame->HostPane()->text(), QStringLiteral("Instrument on 127.0.0.1"));
    view->OnTimer();
    EXPECT_TRUE(pressure->text().endsWith(QStringLiteral("PSI"))) << pressure->text().toStdString();
    const QString connected = frame->ConnectionPane()->text();

    const QList<int> dropped = m_ssh.KillClients();
    ASSERT_FALSE(dropped.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            view->OnTimer();
            return frame->ConnectionPane()->text() == QStringLiteral("Instrument server gone");
        },
        kSshTimeoutMs));
    EXPECT_FALSE(pressure->isEnabled());

    frame->OnCommand(ID_CONTROL_RESET_COMMUNICATIONS);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->ConnectionPane()->text() == connected; },
                                kSshTimeoutMs));
    EXPECT_TRUE(pressure->isEnabled());
    EXPECT_EQ(m_bus.OwnerPid(kInstrumentServiceName), serverPid)
        << "only the SSH connection went; the instrument stayed";
    for (const int pid : dropped) {
        EXPECT_FALSE(IsZombie(pid)) << "the ssh of the dropped connection was waited for";
    }
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
    frame->close();
    app.ExitInstance();
}

TEST_F(SshSimulatorTest, TheRealClientStartsTheServerOnTheRemoteBus) {
    const QString errors =
        RunClient(Arguments(), [&] { return m_bus.OwnerPid(kInstrumentServiceName) > 0; });
    EXPECT_FALSE(errors.contains(u'|')) << errors.toStdString();
}

TEST_F(SshSimulatorTest, WhenSshFailsTheErrorBoxSaysWhatSshSaid) {
    const QString refused = RunClient(Arguments(m_ssh.UnknownKey()));
    EXPECT_TRUE(refused.contains(QStringLiteral("Error|")) &&
                refused.contains(QStringLiteral("Permission denied")))
        << refused.toStdString();

    QStringList noBridge = Arguments();
    noBridge.replace(noBridge.size() - 1,
                     QStringLiteral("unix:path=") + m_home.filePath(QStringLiteral("no-bus")));
    const QString noBus = RunClient(noBridge);
    EXPECT_TRUE(noBus.contains(QStringLiteral("Error|no session bus at unix:path=") +
                               m_home.filePath(QStringLiteral("no-bus")) +
                               QStringLiteral(" on 127.0.0.1")))
        << noBus.toStdString();
    EXPECT_EQ(m_bus.OwnerPid(kInstrumentServiceName), 0);
}

} // namespace
