#pragma once

#include "activation_file.h"
#include "guid.h"
#include "hresult.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class COrvixClientDoc;
class COleTemplateServer;
class CSingleDocTemplate;

// Where the document class lives on the session bus. Its program id is "OrvixClient.Document".
inline const QString kDocumentServiceName = QStringLiteral("org.orvix.OrvixClient.Document");
inline const QString kDocumentClassPath = QStringLiteral("/org/orvix/OrvixClient/Document");
inline const QString kClassFactoryInterface = QStringLiteral("org.orvix.ClassFactory1");
inline const QString kDocumentInterface = QStringLiteral("org.orvix.OrvixClient.Document1");

// The document class object on the bus: CreateInstance makes a document (hidden, with its frame
// and view) and answers the result code and the document's object path: (i, o).
class CDocumentClassObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvix.ClassFactory1")
public:
    explicit CDocumentClassObject(COleTemplateServer* server);

public Q_SLOTS:
    Q_SCRIPTABLE void CreateInstance();

private:
    COleTemplateServer* m_pServer;
};

// One automation client's reference to a document. Its only method gives the reference back;
// a client that leaves the bus gives it back too.
class CDocumentBusObject : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orvix.OrvixClient.Document1")
public:
    CDocumentBusObject(COrvixClientDoc* document, const QDBusConnection& bus,
                       const QString& client);
    ~CDocumentBusObject() override;

    // Gives the reference back once; later calls change nothing.
    void ReleaseReference();
    bool HoldsReference() const { return m_holds; }

public Q_SLOTS:
    Q_SCRIPTABLE uint Release();

private:
    QPointer<COrvixClientDoc> m_document;
    bool m_holds = true;
};

// Connects the document template to the document's automation class: registers its class
// object on the bus while the application serves automation clients, and writes the D-Bus
// activation file that lets the bus start the application for a client.
class COleTemplateServer {
public:
    COleTemplateServer();
    // Revokes the class object and drops the references of clients still holding documents.
    ~COleTemplateServer();

    COleTemplateServer(const COleTemplateServer&) = delete;
    COleTemplateServer& operator=(const COleTemplateServer&) = delete;

    // multiInstance: each client that creates a document gets a process of its own, so the
    // class object is revoked once it has made one.
    void ConnectTemplate(REFCLSID clsid, CSingleDocTemplate* docTemplate, bool multiInstance);

    // Registers the class object as running: exports it and takes the bus name.
    bool RegisterAll(const QDBusConnection& bus);
    void RevokeAll();
    bool IsRegistered() const { return m_registered; }

    // Writes the activation file for the class: executable is started with -Automation.
    bool UpdateRegistry(const QString& executable) const;

    HRESULT CreateInstance(const QString& client, QString* documentPath);

    REFCLSID Clsid() const { return m_clsid; }

private:
    CLSID m_clsid{};
    CSingleDocTemplate* m_pTemplate = nullptr;
    bool m_multiInstance = true;
    bool m_registered = false;
    QDBusConnection m_bus;
    std::unique_ptr<CDocumentClassObject> m_classObject;
    std::vector<QPointer<CDocumentBusObject>> m_documents;
    int m_nextDocument = 1;
};
