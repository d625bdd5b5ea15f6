#include "stub_host.h"

#include "instrument_bus.h"
#include "instrument_stub.h"

#include <QDBusConnection>

StubHost::StubHost(IInstrumentServer* implementation)
    : m_stub(new CInstrumentServerStub(implementation)) {
    m_thread.start();
    m_stub->moveToThread(&m_thread);
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection);
    m_ok = bus.registerVirtualObject(kInstrumentObjectPath, m_stub) &&
           bus.registerService(kInstrumentServiceName);
}

StubHost::~StubHost() {
    QDBusConnection::disconnectFromBus(kConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_stub;
}
