#include "server_creation.h"

#include "com.h"
#include "error_info.h"
#include "hresult.h"

#include <QEventLoop>
#include <QThread>

CServerCreation::CServerCreation(const Creator& create, QObject* parent) : QObject(parent) {
    m_pThread.reset(QThread::create([this, create] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IInstrumentServer* pServer = nullptr;
        m_result = create(&pServer);
        if (SUCCEEDED(m_result) && pServer == nullptr) {
            m_result = E_NOINTERFACE;
        }
        if (FAILED(m_result)) {
            pServer = nullptr;
            m_errorText = QString::fromStdString(TakeErrorInfoText());
        }
        m_pServer = pServer;
        CoUninitialize();
    }));
    connect(m_pThread.get(), &QThread::finished, this, &CServerCreation::finished,
            Qt::QueuedConnection);
    m_pThread->start();
}

CServerCreation::~CServerCreation() {
    m_pThread->disconnect(this);
    Wait();
    if (m_pServer != nullptr) {
        std::exchange(m_pServer, nullptr)->Release();
    }
}

void CServerCreation::Wait() {
    m_pThread->wait();
}

QString CServerCreation::Reason() const {
    return m_errorText.isEmpty() ? QString::fromStdString(SystemMessageText(m_result))
                                 : m_errorText;
}

IInstrumentServer* CServerCreation::TakeServer() {
    return std::exchange(m_pServer, nullptr);
}

HRESULT CServerCreation::CreateAndWait(const Creator& create, IInstrumentServer** ppServer,
                                       QString* pReason) {
    CServerCreation creation(create);
    QEventLoop loop;
    connect(&creation, &CServerCreation::finished, &loop, &QEventLoop::quit);
    // A quit of the application ends this loop too; the creation is then cancelled by whoever
    // quit, and waited for here.
    loop.exec();
    creation.Wait();
    *ppServer = creation.TakeServer();
    if (FAILED(creation.Result())) {
        *pReason = creation.Reason();
    }
    return creation.Result();
}
