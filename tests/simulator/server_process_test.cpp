#include "private_bus.h"

#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "non_volatile_memory.h"
#include "record_memory.h"
#include "sim_refusals.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>

namespace {

const QString kConnection = QStringLiteral("server-process-test");

QString ServerPath() {
    return BinaryPath(QStringLiteral("orvix-instrument-server"));
}

struct RunResult {
    int exitCode = -1;
    QString output;
};

RunResult RunServer(const QStringList& arguments, const QString& dataHome) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(ServerPath(), arguments);
    if (!process.waitForFinished(10'000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

TEST(ServerProcess, RegistersAndUnregistersItsActivationFile) {
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    const QString serviceFile =
        dataHome.path() + QStringLiteral("/dbus-1/services/org.orvix.InstrumentServer.service");

    RunResult result = RunServer({QStringLiteral("--RegServer")}, dataHome.path());
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_TRUE(result.output.contains(QStringLiteral("registered")))
        << result.output.toStdString();
    QFile file(serviceFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_TRUE(text.startsWith(QStringLiteral("[D-BUS Service]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=org.orvix.InstrumentServer\n")));
    const QString exec = QStringLiteral("\nExec=") + QDir(ServerPath()).absolutePath() +
                         QStringLiteral(" -Embedding\n");
    EXPECT_TRUE(text.contains(exec)) << text.toStdString();

    result = RunServer({QStringLiteral("/UnregServer")}, dataHome.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(QFile::exists(serviceFile));
    // Removing twice is fine; the Windows-style single dash works too.
    EXPECT_EQ(RunServer({QStringLiteral("-UnregServer")}, dataHome.path()).exitCode, 0);
    EXPECT_EQ(RunServer({QStringLiteral("-RegServer")}, dataHome.path()).exitCode, 0);
    EXPECT_TRUE(QFile::exists(serviceFile));
    EXPECT_NE(RunServer({QStringLiteral("--bogus")}, dataHome.path()).exitCode, 0);
}

// A private bus with a connection of the test's own, and servers started on it.
class InstrumentBus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_bus.Address().isEmpty()) << "dbus-daemon did not start";
        ASSERT_TRUE(m_home.isValid());
        m_connection = m_bus.Connect(kConnection);
        ASSERT_TRUE(m_connection.isConnected());
    }

    void Start(QProcess& server, QStringList arguments) {
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("XDG_STATE_HOME"), m_home.path());
        extra.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path());
        arguments.prepend(QStringLiteral("-Embedding"));
        m_bus.StartOnBus(server, ServerPath(), arguments, extra);
        ASSERT_TRUE(server.waitForStarted(5000));
        ASSERT_TRUE(PrivateBus::WaitFor([this] {
            return m_connection.interface()->isServiceRegistered(kInstrumentServiceName).value();
        }));
    }

    CInstrumentServerProxy* Proxy() {
        return new CInstrumentServerProxy(
            m_connection, m_connection.interface()->serviceOwner(kInstrumentServiceName).value());
    }

    // Runs a verb of the server against the served instrument.
    RunResult Verb(const QStringList& words) {
        QProcess process;
        m_bus.StartOnBus(process, ServerPath(), words);
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (!process.waitForFinished(10'000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
    }

    std::string StateFile() const {
        return m_home.path().toStdString() + "/orvix/instrument-server.state";
    }
    void TearDown() override {
        m_bus.Disconnect(kConnection);
        m_bus.Stop();
    }

    PrivateBus m_bus;
    QTemporaryDir m_home;
    QDBusConnection m_connection{QString()};
};

// One server on the manual clock, ended with its bus.
class ServedInstrument : public InstrumentBus {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(InstrumentBus::SetUp());
        ASSERT_NO_FATAL_FAILURE(Start(m_server, {QStringLiteral("--manual-clock")}));
    }
    void TearDown() override {
        InstrumentBus::TearDown();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    QProcess m_server;
};

TEST_F(ServedInstrument, ExitsWhenItsBusGoesAway) {
    m_bus.Disconnect(kConnection);
    m_bus.Stop();
    EXPECT_TRUE(m_server.waitForFinished(5000)) << "the server outlived its bus";
    EXPECT_EQ(m_server.exitStatus(), QProcess::NormalExit);
}

TEST_F(ServedInstrument, ServesTheInstrumentThroughTheBus) {
    const QString owner = m_connection.interface()->serviceOwner(kInstrumentServiceName).value();
    auto* proxy = new CInstrumentServerProxy(m_connection, owner);
    EXPECT_EQ(proxy->ChangeFlow(12.5F, 40.0F, 60.0F, 2.0F), S_OK);
    InstrumentStatus* pStatus = nullptr;
    ASSERT_EQ(proxy->ReadStatus(&pStatus), S_OK);
    EXPECT_EQ(pStatus->nState, 3);
    EXPECT_FLOAT_EQ(pStatus->fFlowRate, 12.5F);
    EXPECT_FLOAT_EQ(pStatus->fPercentB, 60.0F);
    EXPECT_FLOAT_EQ(pStatus->fAuxFlowRate, 2.0F);
    ASSERT_NE(pStatus->pszStatusMessage, nullptr);
    ReleaseInstrumentStatus(pStatus);
    EXPECT_EQ(proxy->IsInstrumentReady(), S_OK);
    proxy->Release();
}

TEST_F(ServedInstrument, ControlVerbsActOnTheServedInstrument) {
    CInstrumentServerProxy* proxy = Proxy();
    ASSERT_EQ(Verb({QStringLiteral("power-off")}).exitCode, 0);
    EXPECT_EQ(proxy->IsInstrumentReady(), S_FALSE);
    InstrumentStatus* pStatus = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&pStatus), kHrInstrumentNotReady);
    ASSERT_EQ(Verb({QStringLiteral("power-on")}).exitCode, 0);
    EXPECT_EQ(proxy->IsInstrumentReady(), S_FALSE);
    ASSERT_EQ(Verb({QStringLiteral("step"), QStringLiteral("6000")}).exitCode, 0);
    EXPECT_EQ(proxy->IsInstrumentReady(), S_OK);

    ASSERT_EQ(
        Verb({QStringLiteral("fail"), QStringLiteral("ReadStatus"), QStringLiteral("0x80004005")})
            .exitCode,
        0);
    EXPECT_EQ(proxy->ReadStatus(&pStatus), E_FAIL);
    ASSERT_EQ(Verb({QStringLiteral("clear-faults")}).exitCode, 0);

    ASSERT_EQ(Verb({QStringLiteral("raise-error"), QStringLiteral("Pump B leak")}).exitCode, 0);
    ASSERT_EQ(proxy->ReadStatus(&pStatus), S_OK);
    EXPECT_EQ(pStatus->nState, 10);
    EXPECT_EQ(pStatus->bErrorsPending, 1);
    ReleaseInstrumentStatus(pStatus);
    std::int32_t count = 0;
    ErrorList* pErrors = nullptr;
    ASSERT_EQ(proxy->ReadAllErrors(1, &count, &pErrors), S_OK);
    EXPECT_STREQ(pErrors->pszFirstError, "Pump B leak");

    const RunResult state = Verb({QStringLiteral("state")});
    EXPECT_EQ(state.exitCode, 0);
    EXPECT_TRUE(state.output.contains(QStringLiteral("error: Pump B leak")))
        << state.output.toStdString();
    EXPECT_TRUE(state.output.contains(QStringLiteral("clock: manual, 6000 ms")));

    EXPECT_NE(Verb({QStringLiteral("fail"), QStringLiteral("NoSuchOperation"), QStringLiteral("1")})
                  .exitCode,
              0);
    EXPECT_NE(Verb({QStringLiteral("step")}).exitCode, 0);
    ASSERT_EQ(Verb({QStringLiteral("clock"), QStringLiteral("real")}).exitCode, 0);
    EXPECT_NE(Verb({QStringLiteral("step"), QStringLiteral("10")}).exitCode, 0);
    proxy->Release();
}

TEST_F(ServedInstrument, HungOperationFailsTheCallWithinTheTimeout) {
    ASSERT_EQ(
        Verb({QStringLiteral("hang"), QStringLiteral("IsInstrumentReady"), QStringLiteral("3000")})
            .exitCode,
        0);
    CInstrumentServerProxy* proxy = Proxy();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(FAILED(proxy->IsInstrumentReady()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2'900));
    proxy->Release();
}

TEST_F(InstrumentBus, DamagedStateFileIsReportedAndReplaced) {
    ASSERT_TRUE(QDir().mkpath(m_home.path() + QStringLiteral("/orvix")));
    {
        QFile file(QString::fromStdString(StateFile()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("orvix-instrument-state 1\nconfiguration.syringeSize=2");
    }
    QProcess server;
    ASSERT_NO_FATAL_FAILURE(Start(server, {}));
    CInstrumentServerProxy* proxy = Proxy();
    std::int32_t count = 0;
    ErrorList* pErrors = nullptr;
    ASSERT_EQ(proxy->ReadAllErrors(1, &count, &pErrors), S_OK);
    EXPECT_NE(std::string(pErrors->pszFirstError).find("Non-volatile memory lost"),
              std::string::npos);
    proxy->Release();
    CNonVolatileMemory memory(StateFile());
    EXPECT_FALSE(memory.Load()) << "the defaults replaced the damaged file";
    m_bus.Disconnect(kConnection);
    m_bus.Stop();
    server.waitForFinished(5000);
}

TEST_F(InstrumentBus, KilledWhileWritingTheStateFileLosesNothingCommitted) {
    std::mt19937 random(20261208);
    int next = 1;
    int committed = 0;
    for (int round = 0; round < 12; ++round) {
        QProcess server;
        ASSERT_NO_FATAL_FAILURE(Start(server, {}));
        CInstrumentServerProxy* proxy = Proxy();
        const qint64 pid = server.processId();
        const int delayMs = std::uniform_int_distribution<int>(5, 80)(random);
        std::thread killer([pid, delayMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        });
        for (;; ++next) {
            const std::string serial = "K" + std::to_string(next);
            const InstrumentConfiguration configuration{
                5.0F, 25, 999.0F, const_cast<char*>(serial.c_str()), 1.5F, 1, 1, 0, 0, 0, 0, 1};
            if (FAILED(proxy->SetInstrumentConfiguration(&configuration))) {
                break;
            }
            committed = next;
        }
        killer.join();
        proxy->Release();
        server.waitForFinished(5000);

        CNonVolatileMemory memory(StateFile());
        const auto damage = memory.Load();
        ASSERT_FALSE(damage) << *damage;
        const std::string& serial = memory.State().configuration.serialNumber;
        // The last answered write, or the unanswered one the kill cut off after it reached the
        // disk (a round whose first write is cut off follows a number that was never sent).
        const std::string cutOff = "K" + std::to_string(next);
        EXPECT_TRUE(serial == "K" + std::to_string(committed) || serial == cutOff)
            << "round " << round << ": " << serial << " after K" << committed;
        if (serial == cutOff) {
            committed = next;
        }
        ++next;
        ASSERT_TRUE(PrivateBus::WaitFor([this] {
            return !m_connection.interface()->isServiceRegistered(kInstrumentServiceName).value();
        }));
    }
    EXPECT_GT(committed, 12);
}

} // namespace
