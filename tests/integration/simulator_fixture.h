#pragma once

// The real proxy as g_pServer, talking over a bus of the test's own to the simulated instrument
// that the bus starts on demand, on a manual clock.
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "private_bus.h"
#include "process_state.h"

#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <utility>

class OnSimulator : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        // Its own state file and Silk folder, so the run never touches the user's instrument.
        m_bus.AddService(kInstrumentServiceName,
                         BinaryPath(QStringLiteral("orvix-instrument-server")),
                         {QStringLiteral("-Embedding"), QStringLiteral("--manual-clock"),
                          QStringLiteral("--state-file"), m_home.filePath(QStringLiteral("state")),
                          QStringLiteral("--silk-dir"), m_home.filePath(QStringLiteral("silk"))});
        m_connection = m_bus.Connect(QStringLiteral("client"));
        ASSERT_EQ(CreateInstrumentServerProxy(m_connection, IID_IInstrumentServer,
                                              reinterpret_cast<void**>(&m_server)),
                  S_OK);
        m_serverPid = m_bus.OwnerPid(kInstrumentServiceName);
        m_previousServer = std::exchange(g_pServer, m_server);
    }

    void TearDown() override {
        CloseWindows();
        if (m_server != nullptr) {
            g_pServer = m_previousServer;
            EXPECT_EQ(m_server->Release(), 0U);
        }
        // The server leaves with its bus and saves its state on the way out: the folder that
        // holds the state goes only after it.
        m_bus.Stop();
        WaitForServerExit();
        ResetProcessState();
    }

    // Windows that call the server go before the connection does.
    virtual void CloseWindows() {}

    // Acts on the instrument as a person would with the server's verbs.
    void Simulator(const QString& method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kInstrumentServiceName, kInstrumentObjectPath,
            QStringLiteral("org.orvix.InstrumentSimulator1"), method);
        call.setArguments(args);
        const QDBusMessage reply = m_connection.call(call);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    void StepClock(qulonglong ms) { Simulator(QStringLiteral("StepClock"), {ms}); }

private:
    // The bus daemon started the server, so this process cannot wait for it; and once the
    // daemon is gone the server may stay a zombie for a while, which has done all its writing.
    static bool Ended(qint64 pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            return true;
        }
        const QByteArray line = stat.readAll();
        const qsizetype stateAt = line.lastIndexOf(") ") + 2;
        return stateAt < 2 || stateAt >= line.size() || line[stateAt] == 'Z';
    }

    void WaitForServerExit() const {
        constexpr int kServerExitTimeoutMs = 10'000;
        constexpr int kPollMs = 10;
        if (m_serverPid <= 0) {
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (!Ended(m_serverPid) && waited.elapsed() < kServerExitTimeoutMs) {
            QThread::msleep(kPollMs);
        }
    }

    QTemporaryDir m_home;
    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    IInstrumentServer* m_server = nullptr;
    IInstrumentServer* m_previousServer = nullptr;
    qint64 m_serverPid = 0;
};
