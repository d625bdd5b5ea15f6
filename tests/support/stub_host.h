#pragma once

#include "instrument_server.h"

#include <QString>
#include <QThread>

class CInstrumentServerStub;

// Serves an implementation on the session bus under the instrument server's name, from a worker
// thread: the test's own thread blocks in each call through a proxy.
class StubHost {
public:
    explicit StubHost(IInstrumentServer* implementation);
    ~StubHost();
    StubHost(const StubHost&) = delete;
    StubHost& operator=(const StubHost&) = delete;

    bool Ok() const { return m_ok; }

private:
    static inline const QString kConnection = QStringLiteral("roundtrip-stub");
    QThread m_thread;
    CInstrumentServerStub* m_stub;
    bool m_ok = false;
};
