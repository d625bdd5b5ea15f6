// The whole client against the simulated instrument on a private bus, while the server goes
// away and comes back: the same window shows live values again without a restart.
#include "com.h"
#include "event_log_dock.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_view.h"
#include "private_bus.h"
#include "process_state.h"
#include "resource.h"
#include "ui.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class ReconnectSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        Register();
        m_connection = m_bus.Connect(QStringLiteral("client"));
        const QDBusConnection bus = m_connection;
        CoRegisterLocalServerClass(CLSID_InstrumentServer, [bus](REFIID riid, void** ppv) {
            return CreateInstrumentServerProxy(bus, riid, ppv);
        });
        m_previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler(m_previousBox);
        CoRevokeLocalServerClass(CLSID_InstrumentServer);
        ResetProcessState();
    }

    void Register() { m_bus.AddSimulator(m_home); }
    void Unregister() { m_bus.RemoveService(kInstrumentServiceName); }

    // As a crash would end it.
    qint64 KillServer() {
        const qint64 pid = m_bus.OwnerPid(kInstrumentServiceName);
        EXPECT_GT(pid, 0);
        ::kill(static_cast<pid_t>(pid), SIGKILL);
        EXPECT_TRUE(
            PrivateBus::WaitFor([&] { return m_bus.OwnerPid(kInstrumentServiceName) == 0; }));
        return pid;
    }

    QTemporaryDir m_home{QDir::tempPath() + QStringLiteral("/orvix-home-XXXXXX")};
    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    QStringList boxes;
    MessageBoxHandler m_previousBox;
};

TEST_F(ReconnectSimulatorTest, AfterTheServerWasKilledTheWindowFindsItAgainAndShowsLiveValues) {
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("orvix-client")}));
    CMainFrame* frame = app.MainWindow();
    ASSERT_NE(frame, nullptr);
    auto* view = qobject_cast<COrvixClientView*>(app.DocTemplate()->View());
    ASSERT_NE(view, nullptr);
    auto* pressure = view->findChild<QLabel*>(QStringLiteral("pressureText"));
    ASSERT_NE(pressure, nullptr);
    view->OnTimer();
    ASSERT_TRUE(pressure->isEnabled());
    const QString connected = frame->ConnectionPane()->text();
    // As the Valves page does: the refresh fetches the syringe data from now on.
    g_state.syringeDataFlag = 1;
    g_pServer->EnableSyringeData(1);

    // Gone for good: tries fail at once, and the window goes on with its refreshes.
    Unregister();
    const qint64 firstPid = KillServer();
    view->OnTimer();
    EXPECT_EQ(frame->ConnectionPane()->text(), QStringLiteral("Instrument server gone"));
    EXPECT_FALSE(pressure->isEnabled()) << "the values no longer follow the instrument";
    for (int i = 0; i < 3; ++i) {
        frame->OnCommand(ID_CONTROL_RESET_COMMUNICATIONS);
        QTest::qWait(50);
        view->OnTimer();
    }
    EXPECT_EQ(frame->ConnectionPane()->text(),
              QStringLiteral("Instrument server gone: Class not registered"))
        << "the status bar says why";

    // Registered again: the next Reset Communications starts it, as at start.
    Register();
    frame->OnCommand(ID_RESET_COMMUNICATIONS);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return frame->ConnectionPane()->text() == connected; }, 20000));
    const qint64 secondPid = m_bus.OwnerPid(kInstrumentServiceName);
    EXPECT_GT(secondPid, 0);
    EXPECT_NE(secondPid, firstPid);
    EXPECT_TRUE(pressure->isEnabled());
    EXPECT_TRUE(pressure->text().endsWith(QStringLiteral("PSI"))) << pressure->text().toStdString();
    g_state.syringeDataFetched = false;
    view->OnTimer();
    EXPECT_TRUE(pressure->isEnabled()) << "and it goes on refreshing";
    EXPECT_TRUE(g_state.syringeDataFetched) << "the new server was asked for the syringe data";

    const QString log = frame->findChild<CEventLogDock*>()->Log().Text();
    const qsizetype gone = log.indexOf(QStringLiteral("Instrument server gone"));
    EXPECT_GE(gone, 0) << log.toStdString();
    EXPECT_GT(log.indexOf(connected, gone), gone) << log.toStdString();
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();

    frame->close();
    app.ExitInstance();
}

} // namespace
