#include "app_test_support.h"

#include "app_lock.h"
#include "doc_template.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_doc.h"
#include "template_server.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QPointer>
#include <QTest>

namespace {

const QString kClientConnection = QStringLiteral("automation-client");

// An automation client on a connection of its own, calling into this process's application.
class AutomationTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        RegisterFakeServer();
        app = std::make_unique<COrvixClientApp>();
        ASSERT_TRUE(
            app->InitInstance({QStringLiteral("orvix-client"), QStringLiteral("-Automation")}));
        // Count the application's requests to end instead of ending.
        SetAllObjectsReleasedHandler([this] { ++quitRequests; });
        client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kClientConnection);
        ASSERT_TRUE(client.isConnected());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus(kClientConnection);
        if (app) {
            app->ExitInstance();
            app.reset();
        }
        AppFixture::TearDown();
    }

    // CreateInstance on the class object: the result code and the document's path.
    std::pair<int, QString> CreateDocument() {
        const QDBusMessage reply = CallAndWait(
            client, MethodCall(kDocumentServiceName, kDocumentClassPath, kClassFactoryInterface,
                               QStringLiteral("CreateInstance")));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
            ADD_FAILURE() << "CreateInstance: " << reply.errorName().toStdString() << " "
                          << reply.errorMessage().toStdString();
            return {-1, {}};
        }
        return {reply.arguments()[0].toInt(), reply.arguments()[1].value<QDBusObjectPath>().path()};
    }

    std::unique_ptr<COrvixClientApp> app;
    QDBusConnection client{QString()};
    int quitRequests = 0;
};

TEST_F(AutomationTest, AClientCreatesAHiddenDocumentAndReleasingItEndsTheApplication) {
    const QString owner = client.interface()->serviceOwner(kDocumentServiceName).value();
    ASSERT_FALSE(owner.isEmpty());

    const auto [hr, path] = CreateDocument();
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(path, QStringLiteral("/org/orvix/OrvixClient/Document/1"));

    COrvixClientDoc* document = app->DocTemplate()->Document();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->RefCount(), 1U);
    ASSERT_NE(app->DocTemplate()->Frame(), nullptr);
    EXPECT_NE(app->DocTemplate()->View(), nullptr) << "the view exists and can poll";
    EXPECT_TRUE(VisibleFrames().empty()) << "the document's frame stays hidden";
    EXPECT_EQ(AppLockCount(), 1);

    // Each client gets an application of its own: the class object served once.
    EXPECT_FALSE(app->TemplateServer().IsRegistered());
    EXPECT_FALSE(client.interface()->isServiceRegistered(kDocumentServiceName).value());

    const QDBusMessage released =
        CallAndWait(client, MethodCall(owner, path, kDocumentInterface, QStringLiteral("Release")));
    EXPECT_EQ(released.type(), QDBusMessage::ReplyMessage) << released.errorMessage().toStdString();
    EXPECT_EQ(app->DocTemplate()->Document(), nullptr);
    EXPECT_EQ(AppLockCount(), 0);
    EXPECT_EQ(quitRequests, 1) << "the last object gone ends an application the user does not have";

    // Releasing again changes nothing.
    CallAndWait(client, MethodCall(owner, path, kDocumentInterface, QStringLiteral("Release")));
    EXPECT_EQ(quitRequests, 1);
}

TEST_F(AutomationTest, AClientThatLeavesTheBusGivesItsDocumentBack) {
    const auto [hr, path] = CreateDocument();
    ASSERT_EQ(hr, S_OK);
    ASSERT_NE(app->DocTemplate()->Document(), nullptr);

    // The connection closes with its last user.
    client = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(kClientConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app->DocTemplate()->Document() == nullptr; }, 5000));
    EXPECT_EQ(AppLockCount(), 0);
    EXPECT_EQ(quitRequests, 1);
}

TEST_F(AutomationTest, ShutdownWithADocumentStillHeldClosesIt) {
    const auto [hr, path] = CreateDocument();
    ASSERT_EQ(hr, S_OK);
    QPointer<CMainFrame> frame = app->DocTemplate()->Frame();
    ASSERT_FALSE(frame.isNull());
    app->ExitInstance();
    app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(AppLockCount(), 0);
}

TEST_F(AutomationTest, TheDocumentExposesAnEmptyDispatchInterface) {
    const auto [hr, path] = CreateDocument();
    ASSERT_EQ(hr, S_OK);
    COrvixClientDoc* document = app->DocTemplate()->Document();
    ASSERT_NE(document, nullptr);

    IDispatch* dispatch = nullptr;
    ASSERT_EQ(
        document->QueryInterface(IID_IOrvixClientDocument, reinterpret_cast<void**>(&dispatch)),
        S_OK);
    UINT typeInfos = 7;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&typeInfos), S_OK);
    EXPECT_EQ(typeInfos, 0U);
    char16_t name[] = u"Anything";
    char16_t* names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(dispatch->Invoke(1, IID_IUnknown, 0, 1, nullptr, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    void* other = nullptr;
    EXPECT_EQ(document->QueryInterface(IID_IInstrumentServer, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(dispatch->Release(), 1U);
}

} // namespace
