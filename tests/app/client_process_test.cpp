#include "app_test_support.h"

#include "fake_instrument_server.h"
#include "history_store.h"
#include "instrument_bus.h"
#include "instrument_stub.h"
#include "template_server.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {

QString ClientExecutable() {
    return qEnvironmentVariable("ORVIX_BIN_DIR") + QStringLiteral("/orvix-client");
}

// The lines the message-box hook printed ("caption|text"), without the bus's and Qt's chatter.
QStringList MessageLines(const QByteArray& errorOutput) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(errorOutput).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1Char('|'))) {
            lines << line;
        }
    }
    return lines;
}

// The real executable, run with message boxes answered and printed.
class ClientProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(ClientExecutable())) {
            GTEST_SKIP() << "ORVIX_BIN_DIR does not hold orvix-client";
        }
        ASSERT_TRUE(home.isValid());
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVIX_AUTOANSWER_MESSAGES"), QStringLiteral("1"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
        // A test that dies leaves no client behind holding the run's output open.
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    bool WaitForExit(int timeoutMs = 30000) {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    }

    QString DocumentActivationFile(const QString& dataHome) const {
        return dataHome + QStringLiteral("/dbus-1/services/org.orvix.OrvixClient.Document.service");
    }

    QTemporaryDir home;
    QProcessEnvironment env;
    QProcess process;
};

TEST_F(ClientProcessTest, VerifyHistoryPrintsItsVerdictAndExitsOneWhenAnEntryWasChanged) {
    const QString path = home.filePath(QStringLiteral("state/orvix/history.sqlite"));
    {
        CHistoryStore store;
        ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Write));
        HistoryEntry entry{0,
                           1'700'000'000'000,
                           HistoryKind::Action,
                           QStringLiteral("operator"),
                           QStringLiteral("lab-pc"),
                           QString(),
                           QStringLiteral("Reset Silk")};
        ASSERT_TRUE(store.Append(entry));
    }
    env.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
    process.setProcessEnvironment(env);
    process.start(ClientExecutable(), {QStringLiteral("--verify-history")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.readAllStandardOutput(),
              QByteArray("intact: 1 entries, last checkpoint none\n"));
    EXPECT_EQ(process.exitCode(), 0);

    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QStringLiteral("UPDATE entries SET text = 'Reset'")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("edit"));
    process.start(ClientExecutable(), {QStringLiteral("--verify-history"), path});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.readAllStandardOutput(),
              QByteArray("entry 1 (2023-11-14T22:13:20.000Z) was changed\n"));
    EXPECT_EQ(process.exitCode(), 1);
}

TEST_F(ClientProcessTest, OnAPrivateBusWithNoServerItShowsClassNotRegisteredAndExitsCleanly) {
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("dbus-run-session"), {QStringLiteral("--"), ClientExecutable()});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(WaitForExit());
    const QByteArray errors = process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(MessageLines(errors), QStringList{QStringLiteral("Error|Class not registered")})
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(DocumentActivationFile(home.path() + QStringLiteral("/data"))));
}

TEST_F(ClientProcessTest, WithoutASessionBusItReportsThatObjectLinkingFailed) {
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + home.path() + QStringLiteral("/no-bus"));
    env.remove(QStringLiteral("DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(ClientExecutable(), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(WaitForExit());
    const QByteArray errors = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    EXPECT_EQ(MessageLines(errors),
              QStringList{QStringLiteral("Orvix Client|OLE initialization failed.  Make sure that "
                                         "the OLE libraries are the correct version.")});
}

// With no server the client waits in its "Error" box; a termination signal ends it there, as it
// would at any later point.
TEST_F(ClientProcessTest, ATerminationSignalEndsTheClientWaitingInItsStartUpBox) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    if (bus.interface()->isServiceRegistered(kInstrumentServiceName).value() ||
        bus.interface()->activatableServiceNames().value().contains(kInstrumentServiceName)) {
        GTEST_SKIP() << "this bus has an instrument server";
    }
    env.remove(QStringLiteral("ORVIX_AUTOANSWER_MESSAGES"));
    process.setProcessEnvironment(env);
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        process.start(ClientExecutable(), {});
        ASSERT_TRUE(process.waitForStarted(10000));
        // On the bus means past the point where the signals are taken; the box comes next.
        const auto onTheBus = [&] {
            const QStringList names = bus.interface()->registeredServiceNames().value();
            return std::any_of(names.cbegin(), names.cend(), [&](const QString& name) {
                return bus.interface()->servicePid(name).value() == process.processId();
            });
        };
        ASSERT_TRUE(QTest::qWaitFor(onTheBus, 20000)) << signalNumber;
        ::kill(static_cast<pid_t>(process.processId()), signalNumber);
        ASSERT_TRUE(WaitForExit(20000)) << signalNumber;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << signalNumber;
        EXPECT_EQ(process.exitCode(), 0) << signalNumber;
    }
}

// This test process is the instrument server: the recording fake behind the real stub, on the
// test's private bus, so the client's calls arrive here.
class ClientWithServerTest : public ClientProcessTest {
protected:
    void SetUp() override {
        ClientProcessTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.isConnected());
        fake = CFakeInstrumentServer::Create();
        stub = std::make_unique<CInstrumentServerStub>(fake);
        ASSERT_TRUE(stub->Register(bus));
        ASSERT_TRUE(bus.registerService(kInstrumentServiceName));
    }
    void TearDown() override {
        ClientProcessTest::TearDown();
        if (stub) {
            bus.unregisterService(kInstrumentServiceName);
            bus.unregisterObject(kInstrumentObjectPath);
            stub.reset();
        }
        if (fake != nullptr) {
            fake->Release();
        }
    }

    std::vector<std::string> OpenConnectionCalls() const { return fake->CallsTo("OpenConnection"); }

    bool DocumentClassRegistered() {
        return bus.interface()->isServiceRegistered(kDocumentServiceName).value();
    }

    QDBusConnection bus{QString()};
    CFakeInstrumentServer* fake = nullptr;
    std::unique_ptr<CInstrumentServerStub> stub;
};

TEST_F(ClientWithServerTest, UnderAutomationItServesOneDocumentAndEndsWhenItIsReleased) {
    process.setProcessEnvironment(env);
    process.start(ClientExecutable(), {QStringLiteral("-Automation")});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return DocumentClassRegistered(); }, 20000))
        << process.readAllStandardError().toStdString();
    EXPECT_EQ(OpenConnectionCalls(), std::vector<std::string>{"OpenConnection(4, 1)"});

    const QDBusMessage created =
        CallAndWait(bus, MethodCall(kDocumentServiceName, kDocumentClassPath,
                                    kClassFactoryInterface, QStringLiteral("CreateInstance")));
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    ASSERT_EQ(created.arguments().size(), 2);
    EXPECT_EQ(created.arguments()[0].toInt(), 0);
    const QString path = created.arguments()[1].value<QDBusObjectPath>().path();
    EXPECT_EQ(process.state(), QProcess::Running);

    const QDBusMessage released = CallAndWait(
        bus, MethodCall(created.service(), path, kDocumentInterface, QStringLiteral("Release")));
    EXPECT_EQ(released.type(), QDBusMessage::ReplyMessage) << released.errorMessage().toStdString();
    ASSERT_TRUE(WaitForExit(20000)) << "the last document released ends the application";
    const QByteArray errors = process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    EXPECT_TRUE(MessageLines(errors).isEmpty()) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(DocumentActivationFile(home.path() + QStringLiteral("/data"))));
}

// A normal start registers the document class in the folder the bus reads; the bus then starts
// the client by itself for an automation client.
TEST_F(ClientWithServerTest, ANormalStartRegistersTheClassAndTheBusCanThenStartTheClient) {
    const QString busDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (busDataHome.isEmpty()) {
        GTEST_SKIP() << "needs the private bus and data home that ctest gives each test";
    }
    const QString activationFile = DocumentActivationFile(busDataHome);
    QFile::remove(activationFile);

    env.insert(QStringLiteral("XDG_DATA_HOME"), busDataHome);
    process.setProcessEnvironment(env);
    process.start(ClientExecutable(), {});
    ASSERT_TRUE(process.waitForStarted(10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !OpenConnectionCalls().empty() && QFile::exists(activationFile); }, 20000))
        << process.readAllStandardError().toStdString();
    EXPECT_FALSE(DocumentClassRegistered()) << "a normal start serves no class object";

    // Ended as a session manager or a terminal would end it.
    process.terminate();
    ASSERT_TRUE(WaitForExit(20000));
    const QByteArray errors = process.readAllStandardError();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
    EXPECT_TRUE(MessageLines(errors).isEmpty()) << errors.toStdString();

    QFile file(activationFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(
        text.contains(QStringLiteral("Name=org.orvix.OrvixClient.Document\nExec=%1 -Automation\n")
                          .arg(ClientExecutable())))
        << text.toStdString();

    // The bus reads its service folders anew, then starts the client for the first call.
    const QDBusMessage reloaded = CallAndWait(
        bus,
        MethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
    EXPECT_EQ(reloaded.type(), QDBusMessage::ReplyMessage) << reloaded.errorMessage().toStdString();
    const QDBusMessage created =
        CallAndWait(bus,
                    MethodCall(kDocumentServiceName, kDocumentClassPath, kClassFactoryInterface,
                               QStringLiteral("CreateInstance")),
                    20000);
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    EXPECT_EQ(created.arguments().value(0).toInt(), 0);
    EXPECT_EQ(OpenConnectionCalls().size(), 2U) << "the started client opened its own connection";

    const QString started = created.service();
    const QString path = created.arguments().value(1).value<QDBusObjectPath>().path();
    CallAndWait(bus, MethodCall(started, path, kDocumentInterface, QStringLiteral("Release")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !bus.interface()->isServiceRegistered(started).value(); }, 20000))
        << "the started client leaves once its document is released";
    QFile::remove(activationFile);
}

} // namespace
