// How a remote computer's bus is reached: the ssh command and the bus address that runs it.
#include "ssh_bus.h"

#include "fake_ssh.h"

#include <QDBusMessage>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(SshBus, TheUsersOptionsComeBeforeTheDefaultsAndTheHostIsNeverAnOption) {
    const QStringList argv = SshBridgeCommand(
        {QStringLiteral("-oProxyCommand=x"), {QStringLiteral("Port=2222")}, QString()});
    ASSERT_GE(argv.size(), 8);
    EXPECT_EQ(argv.mid(0, 4), (QStringList{QStringLiteral("ssh"), QStringLiteral("-xT"),
                                           QStringLiteral("-o"), QStringLiteral("Port=2222")}));
    EXPECT_TRUE(argv.contains(QStringLiteral("BatchMode=yes")));
    EXPECT_EQ(argv.mid(argv.size() - 7),
              (QStringList{QStringLiteral("--"), QStringLiteral("-oProxyCommand=x"),
                           QStringLiteral("echo"), QStringLiteral("orvix-bridge-ready;"),
                           QStringLiteral("exec"), QStringLiteral("systemd-stdio-bridge"),
                           QStringLiteral("--user")}));
}

TEST(SshBus, TheRemoteShellGetsTheBusPathAsOneWord) {
    const QStringList argv = SshBridgeCommand(
        {QStringLiteral("lab"), {}, QStringLiteral("unix:path=/tmp/a b/it's,guid=1")});
    EXPECT_EQ(argv.last(), QStringLiteral("'--bus-path=unix:path=/tmp/a b/it'\\''s,guid=1'"));
    EXPECT_EQ(
        SshBridgeCommand({QStringLiteral("lab"), {}, QStringLiteral("unix:path=/run/b")}).last(),
        QStringLiteral("--bus-path=unix:path=/run/b"));
}

TEST(SshBus, AddressValuesEscapeEveryByteOutsideTheOptionallyEscapedSet) {
    EXPECT_EQ(EscapeBusAddressValue(QStringLiteral("-_/.\\*azAZ09")),
              QStringLiteral("-_/.\\*azAZ09"));
    EXPECT_EQ(EscapeBusAddressValue(QStringLiteral("me@lab,x=1;y:%\u00e9 ")),
              QStringLiteral("me%40lab%2cx%3d1%3by%3a%25%c3%a9%20"));
}

TEST(SshBus, OnlyOneUnixSocketAddressIsTakenAndARefusedOneRunsNoSsh) {
    EXPECT_EQ(BusPathProblem(QStringLiteral("unix:path=/run/user/1000/bus")), QString());
    EXPECT_EQ(BusPathProblem(QStringLiteral("unix:abstract=/tmp/dbus-x,guid=0a1b")), QString());
    const QString injected =
        QStringLiteral("unix:path=/x;unixexec:path=/usr/bin/touch,argv1=/tmp/owned");
    for (const QString& refused :
         {injected, QStringLiteral("unix:path=/x,noncefile=/y"),
          QStringLiteral("tcp:host=lab,port=1"), QStringLiteral("unixexec:path=/bin/sh")}) {
        EXPECT_TRUE(BusPathProblem(refused).contains(QStringLiteral("unix:path=")))
            << refused.toStdString();
    }
    CFakeSsh ssh;
    CSshBus bus({QStringLiteral("lab"), {}, injected});
    QString error;
    EXPECT_FALSE(bus.Connect(&error).isConnected());
    EXPECT_EQ(error, BusPathProblem(injected));
    EXPECT_EQ(ssh.Runs(), 0);
}

class SshBusTry : public ::testing::Test {
protected:
    static QString Failure(CSshBus& bus) {
        QString error;
        EXPECT_FALSE(bus.Connect(&error).isConnected());
        return error;
    }
    ServerLocation Lab(const QString& busPath = {}) const {
        return {QStringLiteral("lab"), {}, busPath};
    }

    CFakeSsh m_ssh;
};

TEST_F(SshBusTry, AFailedLoginSaysSshsLastLineAndAMissingBusSaysSo) {
    m_ssh.SetMode(CFakeSsh::Mode::Fail,
                  QStringLiteral("<b>Lab PC</b>\nlab: Permission denied (publickey).\n"));
    CSshBus refused(Lab());
    EXPECT_EQ(Failure(refused), QStringLiteral("lab: Permission denied (publickey)."));

    m_ssh.SetMode(CFakeSsh::Mode::Bridge);
    CSshBus noBus(Lab(QStringLiteral("unix:path=/nonexistent/bus")));
    EXPECT_EQ(Failure(noBus),
              QStringLiteral("no session bus at unix:path=/nonexistent/bus on lab"));
    EXPECT_TRUE(m_ssh.NoneLeft());
}

TEST_F(SshBusTry, AHungLoginOrBridgeEndsAtTheDeadlineAndItsSshWithIt) {
    for (const CFakeSsh::Mode mode : {CFakeSsh::Mode::HangLogin, CFakeSsh::Mode::HangBridge}) {
        m_ssh.SetMode(mode);
        CSshBus bus(Lab(), std::chrono::seconds(1));
        EXPECT_EQ(Failure(bus), QStringLiteral("no answer from lab within 1 s"));
        EXPECT_TRUE(m_ssh.NoneLeft());
    }
}

TEST_F(SshBusTry, CancellingEndsTheTryInFlightAndEveryLaterOne) {
    for (const CFakeSsh::Mode mode : {CFakeSsh::Mode::HangLogin, CFakeSsh::Mode::HangBridge}) {
        m_ssh.SetMode(mode);
        CSshBus bus(Lab());
        const int runs = m_ssh.Runs() + 1;
        std::thread ending([&] {
            while (m_ssh.Runs() < runs) {
                std::this_thread::yield();
            }
            CancelSshBusTries();
        });
        EXPECT_EQ(Failure(bus), QStringLiteral("the program is ending"));
        ending.join();
        EXPECT_TRUE(m_ssh.NoneLeft());
        EXPECT_EQ(Failure(bus), QStringLiteral("the program is ending"));
        EXPECT_EQ(m_ssh.Runs(), runs) << "no ssh once cancelled";
    }
}

// The bus library's thread also carries this program's own calls (and the accessibility
// bus): it answers them while the remote login takes its time.
TEST_F(SshBusTry, TheBusThreadAnswersWhileTheBridgeStartsLate) {
    m_ssh.SetMode(CFakeSsh::Mode::LateBridge);
    CSshBus bus(Lab(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")));
    QDBusConnection remote(QString{});
    QString error;
    std::thread connecting([&] { remote = bus.Connect(&error); });
    while (m_ssh.Runs() == 0) {
        std::this_thread::yield();
    }
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    m_ssh.Open();
    connecting.join();
    ASSERT_TRUE(remote.isConnected()) << error.toStdString();
    EXPECT_FALSE(remote.baseService().isEmpty());
}

} // namespace
