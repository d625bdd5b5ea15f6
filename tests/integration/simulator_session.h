#pragma once

// A test on the real proxy, over a bus of the test's own, to the simulated instrument that the
// bus starts on demand, as it starts the server for the client. Its clock is manual.
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

class SimulatorSession : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        ASSERT_TRUE(home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        m_bus.AddService(kInstrumentServiceName,
                         BinaryPath(QStringLiteral("orvix-instrument-server")),
                         {QStringLiteral("-Embedding"), QStringLiteral("--manual-clock"),
                          QStringLiteral("--state-file"), home.filePath(QStringLiteral("state")),
                          QStringLiteral("--silk-dir"), home.filePath(QStringLiteral("silk"))});
        m_connection = m_bus.Connect(QStringLiteral("client"));
        ASSERT_EQ(CreateInstrumentServerProxy(m_connection, IID_IInstrumentServer,
                                              reinterpret_cast<void**>(&m_server)),
                  S_OK);
        m_serverPid = m_bus.OwnerPid(kInstrumentServiceName);
        m_previousServer = std::exchange(g_pServer, m_server);
    }

    void TearDown() override {
        if (m_server != nullptr) {
            g_pServer = m_previousServer;
            EXPECT_EQ(m_server->Release(), 0U);
        }
        // The server saves its state as it leaves with its bus: its folder goes only after it.
        m_bus.Stop();
        WaitForServerExit();
        ResetProcessState();
    }

    void Simulator(const QString& method, const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            kInstrumentServiceName, kInstrumentObjectPath,
            QStringLiteral("org.orvix.InstrumentSimulator1"), method);
        call.setArguments(args);
        const QDBusMessage reply = m_connection.call(call);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }
    void StepClock(qulonglong ms) { Simulator(QStringLiteral("StepClock"), {ms}); }

    QTemporaryDir home;

private:
    // The daemon started the server, so this process cannot wait for it; a zombie has done
    // all its writing.
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
        QElapsedTimer waited;
        waited.start();
        while (m_serverPid > 0 && !Ended(m_serverPid) && waited.elapsed() < 10'000) {
            QThread::msleep(10);
        }
    }

    PrivateBus m_bus;
    QDBusConnection m_connection{QString()};
    IInstrumentServer* m_server = nullptr;
    IInstrumentServer* m_previousServer = nullptr;
    qint64 m_serverPid = 0;
};
