#include "template_server.h"

#include "doc_template.h"
#include "orvix_client_doc.h"

#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

CDocumentClassObject::CDocumentClassObject(COleTemplateServer* server) : m_pServer(server) {}

void CDocumentClassObject::CreateInstance() {
    if (!calledFromDBus()) {
        return;
    }
    // The reply is made here: it carries two values.
    setDelayedReply(true);
    const QDBusMessage call = message();
    const QDBusConnection bus = connection();
    QString path;
    const HRESULT hr = m_pServer->CreateInstance(call.service(), &path);
    const QDBusObjectPath document(SUCCEEDED(hr) ? path : QStringLiteral("/"));
    bus.send(call.createReply({QVariant(hr), QVariant::fromValue(document)}));
}

CDocumentBusObject::CDocumentBusObject(COrvixClientDoc* document, const QDBusConnection& bus,
                                       const QString& client)
    : m_document(document) {
    if (!client.isEmpty()) {
        auto* watcher =
            new QDBusServiceWatcher(client, bus, QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this,
                [this] { ReleaseReference(); });
        // A client that left before the watch began is not coming back either.
        if (!bus.interface()->isServiceRegistered(client).value()) {
            QMetaObject::invokeMethod(this, &CDocumentBusObject::ReleaseReference,
                                      Qt::QueuedConnection);
        }
    }
}

CDocumentBusObject::~CDocumentBusObject() {
    ReleaseReference();
}

void CDocumentBusObject::ReleaseReference() {
    if (!m_holds) {
        return;
    }
    m_holds = false;
    // A document closed with the application is already gone.
    if (COrvixClientDoc* document = m_document.data()) {
        document->Release();
    }
}

uint CDocumentBusObject::Release() {
    ReleaseReference();
    return 0;
}

COleTemplateServer::COleTemplateServer() : m_bus(QString()) {}

COleTemplateServer::~COleTemplateServer() {
    RevokeAll();
    for (const QPointer<CDocumentBusObject>& object : m_documents) {
        delete object.data();
    }
}

void COleTemplateServer::ConnectTemplate(REFCLSID clsid, CSingleDocTemplate* docTemplate,
                                         bool multiInstance) {
    m_clsid = clsid;
    m_pTemplate = docTemplate;
    m_multiInstance = multiInstance;
}

bool COleTemplateServer::RegisterAll(const QDBusConnection& bus) {
    if (m_registered || m_pTemplate == nullptr || !bus.isConnected()) {
        return m_registered;
    }
    m_bus = bus;
    m_classObject = std::make_unique<CDocumentClassObject>(this);
    if (!m_bus.registerObject(kDocumentClassPath, m_classObject.get(),
                              QDBusConnection::ExportScriptableSlots)) {
        m_classObject.reset();
        return false;
    }
    if (!m_bus.registerService(kDocumentServiceName)) {
        m_bus.unregisterObject(kDocumentClassPath);
        m_classObject.reset();
        return false;
    }
    m_registered = true;
    return true;
}

void COleTemplateServer::RevokeAll() {
    if (!m_registered) {
        return;
    }
    m_registered = false;
    m_bus.unregisterService(kDocumentServiceName);
    m_bus.unregisterObject(kDocumentClassPath);
    // The class object may be revoking itself from inside its own call.
    m_classObject.release()->deleteLater();
}

HRESULT COleTemplateServer::CreateInstance(const QString& client, QString* documentPath) {
    if (m_pTemplate == nullptr) {
        return E_UNEXPECTED;
    }
    COrvixClientDoc* document = m_pTemplate->OpenDocumentFile(false);
    if (document == nullptr) {
        return E_OUTOFMEMORY;
    }
    const QString path = QStringLiteral("%1/%2").arg(kDocumentClassPath).arg(m_nextDocument++);
    auto* object = new CDocumentBusObject(document, m_bus, client);
    m_documents.emplace_back(object);
    if (!m_bus.registerObject(path, object, QDBusConnection::ExportScriptableSlots)) {
        delete object;
        return E_FAIL;
    }
    // The bus object goes with the document.
    QObject::connect(document, &QObject::destroyed, object, [this, path, object] {
        m_bus.unregisterObject(path);
        object->deleteLater();
    });
    if (m_multiInstance) {
        RevokeAll();
    }
    *documentPath = path;
    return S_OK;
}

bool COleTemplateServer::UpdateRegistry(const QString& executable) const {
    const QString comment = QStringLiteral("OrvixC Document (OrvixClient.Document), class %1")
                                .arg(QString::fromStdString(GuidToString(m_clsid)));
    return WriteActivationFile(kDocumentServiceName, executable, QStringLiteral("-Automation"),
                               comment);
}
