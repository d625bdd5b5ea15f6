// What one ReadStatus costs: through the proxy over the session bus, through the proxy over SSH
// to the same bus (an sshd of its own on loopback and systemd's stdio bridge), as a bare Qt
// DBus call carrying the same bytes, in-process, and as a raw Unix-socket exchange of the same
// size.
#include "fake_instrument_server.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "instrument_stub.h"
#include "loopback_ssh.h"
#include "record_codec.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QThread>
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <thread>

namespace {

const QString kEchoPath = QStringLiteral("/org/orvix/Echo");
const QString kEchoInterface = QStringLiteral("org.orvix.Echo");

// Answers with the bytes a ReadStatus reply carries, without any instrument behind them.
class EchoObject : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kEchoInterface) {
            return false;
        }
        connection.send(message.createReply({QVariant(0), QVariant(QByteArray(108, '\1')),
                                             WireVariant(WireText{true, QByteArray("Idle")})}));
        return true;
    }
};

// Serves the fake and the echo object from a worker thread, as a server process would.
class ServerSide {
public:
    ServerSide() : m_fake(CFakeInstrumentServer::Create()) {
        m_fake->status.nState = 3;
        m_fake->statusMessage = "Idle";
        m_stub = new CInstrumentServerStub(m_fake);
        m_echo = new EchoObject;
        m_thread.start();
        m_stub->moveToThread(&m_thread);
        m_echo->moveToThread(&m_thread);
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("bench"));
        bus.registerVirtualObject(kInstrumentObjectPath, m_stub);
        bus.registerVirtualObject(kEchoPath, m_echo);
        bus.registerService(kInstrumentServiceName);
        m_name = bus.baseService();
    }
    ~ServerSide() {
        QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
        m_thread.quit();
        m_thread.wait();
        delete m_echo;
        delete m_stub;
        m_fake->Release();
    }
    IInstrumentServer* Fake() const { return m_fake; }
    const QString& Name() const { return m_name; }

private:
    CFakeInstrumentServer* m_fake;
    CInstrumentServerStub* m_stub;
    EchoObject* m_echo;
    QThread m_thread;
    QString m_name;
};

ServerSide* g_server = nullptr;

// ReadStatus through a proxy, once per iteration; a failed call ends the run.
void TimeReadStatus(benchmark::State& state, IInstrumentServer* proxy) {
    for (auto _ : state) {
        InstrumentStatus* status = nullptr;
        const HRESULT hr = proxy->ReadStatus(&status);
        if (FAILED(hr)) {
            state.SkipWithError(("ReadStatus failed " + HResultHex(hr)).c_str());
            break;
        }
        benchmark::DoNotOptimize(status->fPressure);
        ReleaseInstrumentStatus(status);
    }
}

void BM_ReadStatusThroughProxy(benchmark::State& state) {
    IInstrumentServer* proxy = nullptr;
    if (FAILED(CreateInstrumentServerProxy(QDBusConnection::sessionBus(), IID_IInstrumentServer,
                                           reinterpret_cast<void**>(&proxy)))) {
        state.SkipWithError("no proxy");
        return;
    }
    TimeReadStatus(state, proxy);
    proxy->Release();
}

// The same call with the bus reached as a lab PC's is: ssh to loopback, the bridge to this
// session bus. The first connection's login is not timed.
void BM_ReadStatusThroughProxyOverSsh(benchmark::State& state) {
    const LoopbackSshServer sshd;
    if (!sshd.Missing().isEmpty() || !sshd.Problem().isEmpty()) {
        state.SkipWithError((sshd.Missing() + sshd.Problem()).toStdString().c_str());
        return;
    }
    CSshBus remote(
        {sshd.Host(), sshd.ClientOptions(), qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")});
    QString error;
    const QDBusConnection bus = remote.Connect(&error);
    IInstrumentServer* proxy = nullptr;
    if (!bus.isConnected() || FAILED(CreateInstrumentServerProxy(
                                  bus, IID_IInstrumentServer, reinterpret_cast<void**>(&proxy)))) {
        state.SkipWithError(("no proxy over ssh: " + error).toStdString().c_str());
        return;
    }
    TimeReadStatus(state, proxy);
    proxy->Release();
}

void BM_BareQtDBusCall(benchmark::State& state) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusMessage call = QDBusMessage::createMethodCall(
        g_server->Name(), kEchoPath, kEchoInterface, QStringLiteral("Echo"));
    for (auto _ : state) {
        const QDBusMessage reply = bus.call(call, QDBus::Block);
        benchmark::DoNotOptimize(reply.arguments().size());
    }
}

// The same bytes, waited for as the proxy waits: sent without blocking, then polled.
void BM_BareQtDBusCallPolled(benchmark::State& state) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusMessage call = QDBusMessage::createMethodCall(
        g_server->Name(), kEchoPath, kEchoInterface, QStringLiteral("Echo"));
    for (auto _ : state) {
        const QDBusPendingCall pending = bus.asyncCall(call);
        while (!pending.isFinished()) {
            std::this_thread::yield();
        }
        benchmark::DoNotOptimize(pending.reply().arguments().size());
    }
}

void BM_ReadStatusInProcess(benchmark::State& state) {
    IInstrumentServer* server = g_server->Fake();
    for (auto _ : state) {
        InstrumentStatus* status = nullptr;
        server->ReadStatus(&status);
        benchmark::DoNotOptimize(status->fPressure);
        ReleaseInstrumentStatus(status);
    }
}

// The floor: one request and one reply of a ReadStatus reply's size over a socket pair.
void BM_RawUnixSocket(benchmark::State& state) {
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
        state.SkipWithError("socketpair");
        return;
    }
    constexpr std::size_t kRequest = 96;
    constexpr std::size_t kReply = 160;
    std::thread peer([fd = fds[1]] {
        std::array<char, kReply> buffer{};
        while (true) {
            std::size_t got = 0;
            while (got < kRequest) {
                const ssize_t n = read(fd, buffer.data() + got, kRequest - got);
                if (n <= 0) {
                    return;
                }
                got += static_cast<std::size_t>(n);
            }
            if (write(fd, buffer.data(), kReply) != static_cast<ssize_t>(kReply)) {
                return;
            }
        }
    });
    std::array<char, kReply> buffer{};
    for (auto _ : state) {
        if (write(fds[0], buffer.data(), kRequest) != static_cast<ssize_t>(kRequest)) {
            break;
        }
        std::size_t got = 0;
        while (got < kReply) {
            const ssize_t n = read(fds[0], buffer.data() + got, kReply - got);
            if (n <= 0) {
                break;
            }
            got += static_cast<std::size_t>(n);
        }
    }
    close(fds[0]);
    peer.join();
    close(fds[1]);
}

BENCHMARK(BM_ReadStatusThroughProxy)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadStatusThroughProxyOverSsh)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BareQtDBusCall)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareQtDBusCallPolled)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadStatusInProcess)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RawUnixSocket)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    RegisterInstrumentWireTypes();
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr, "needs a session bus: run under dbus-run-session\n");
        return 1;
    }
    ServerSide server;
    g_server = &server;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_server = nullptr;
    return 0;
}
