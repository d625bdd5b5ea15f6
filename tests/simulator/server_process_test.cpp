#include "private_bus.h"

#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "record_memory.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

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
    process.start(CPrivateBus::ServerPath(), arguments);
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
    const QString exec = QStringLiteral("\nExec=") +
                         QDir(CPrivateBus::ServerPath()).absolutePath() +
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

class ServedInstrument : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(m_bus.Address().isEmpty()) << "dbus-daemon did not start";
        ASSERT_TRUE(m_home.isValid());
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("XDG_STATE_HOME"), m_home.path());
        extra.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path());
        m_bus.StartServer(m_server, {QStringLiteral("-Embedding")}, extra);
        ASSERT_TRUE(m_server.waitForStarted(5000));
        m_connection = m_bus.Connect();
        ASSERT_TRUE(m_connection.isConnected());
        ASSERT_TRUE(CPrivateBus::WaitFor([this] {
            return m_connection.interface()->isServiceRegistered(kInstrumentServiceName).value();
        }));
    }
    void TearDown() override {
        m_bus.Disconnect();
        m_bus.Stop();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    CPrivateBus m_bus;
    QTemporaryDir m_home;
    QProcess m_server;
    QDBusConnection m_connection{QString()};
};

TEST_F(ServedInstrument, ExitsWhenItsBusGoesAway) {
    m_bus.Disconnect();
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

} // namespace
