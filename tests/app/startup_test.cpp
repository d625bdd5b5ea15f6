#include "app_test_support.h"

#include "app_lock.h"
#include "com.h"
#include "doc_template.h"
#include "history_store.h"
#include "instrument_forwarder.h"
#include "instrument_server.h"
#include "main_frame.h"
#include "modal_answerer.h"
#include "orvix_client_app.h"
#include "orvix_client_doc.h"
#include "resource.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QPointer>
#include <QSettings>

namespace {

const QStringList kNormalStart{QStringLiteral("orvix-client")};

QString ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

using StartupTest = AppFixture;

TEST_F(StartupTest, WithoutARegisteredServerShowsOneErrorBoxAndNoWindow) {
    // Another user of COM on this thread: the application must give back only its own share.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    {
        COrvixClientApp app;
        EXPECT_FALSE(app.InitInstance(kNormalStart));

        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(boxes[0].text, QStringLiteral("Class not registered"));
        EXPECT_EQ(boxes[0].type, MB_ICONINFORMATION);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(framesAtBox[0], 0);
        EXPECT_EQ(g_pServer, nullptr);
        EXPECT_EQ(app.MainWindow(), nullptr);
        EXPECT_TRUE(AllFrames().empty());
        EXPECT_EQ(CoInitializeCount(), 1) << "the failed start gives COM back at once";

        EXPECT_EQ(app.ExitInstance(), 0);
        EXPECT_EQ(CoInitializeCount(), 1) << "and shutdown does not give it back again";
        EXPECT_EQ(boxes.size(), 1U);
    }
    CoUninitialize();
    EXPECT_FALSE(QFile::exists(DocumentActivationFile())) << "no registration refresh";
}

TEST_F(StartupTest, AFailedCreationIsNeverReleased) {
    // A misbehaving creator that fails but leaves a pointer behind.
    fake = CFakeInstrumentServer::Create();
    CFakeInstrumentServer* server = fake;
    CoRegisterLocalServerClass(CLSID_InstrumentServer, [server](REFIID, void** ppv) {
        *ppv = static_cast<IInstrumentServer*>(server);
        return CO_E_SERVER_EXEC_FAILURE;
    });
    COrvixClientApp app;
    EXPECT_FALSE(app.InitInstance(kNormalStart));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Server execution failed"));
    EXPECT_EQ(g_pServer, nullptr);
    app.ExitInstance();
    EXPECT_EQ(fake->RefCount(), 1U);
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(StartupTest, WithAServerOpensTheConnectionAndShowsTheMainWindow) {
    RegisterFakeServer();
    int framesAtOpen = -1;
    fake->onCall = [&](const std::string& operation) {
        if (operation == "OpenConnection") {
            framesAtOpen = static_cast<int>(AllFrames().size());
        }
    };
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));

    EXPECT_TRUE(boxes.empty());
    // The view's first update reads the configuration once.
    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{"OpenConnection(4, 1)", "GetInstrumentConfiguration()"}));
    EXPECT_EQ(framesAtOpen, 0) << "the connection is open before any window exists";
    // The service history's recording server stands in front of the forwarder, which stays the
    // same object while the server behind it may be made anew.
    ASSERT_NE(g_pServer, nullptr);
    EXPECT_NE(g_pServer, static_cast<IInstrumentServer*>(fake));
    IUnknown* pReconnect = nullptr;
    EXPECT_EQ(
        g_pServer->QueryInterface(IID_IInstrumentReconnect, reinterpret_cast<void**>(&pReconnect)),
        S_OK);
    if (pReconnect != nullptr) {
        pReconnect->Release();
    }
    EXPECT_EQ(fake->RefCount(), 2U);
    EXPECT_EQ(CoInitializeCount(), 1);

    CMainFrame* frame = app.MainWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(VisibleFrames(), std::vector<CMainFrame*>{frame});
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Orvix Diagnostics"));
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_FALSE(frame->windowIcon().isNull());
    EXPECT_TRUE(frame->windowIcon().availableSizes().contains(QSize(32, 32)));
    ASSERT_NE(frame->centralWidget(), nullptr);
    EXPECT_EQ(frame->centralWidget(), app.DocTemplate()->View());
    EXPECT_NE(app.DocTemplate()->Document(), nullptr);
    EXPECT_EQ(AppLockCount(), 1) << "the document holds the application";
    EXPECT_TRUE(HasUserControl());
    EXPECT_FALSE(app.TemplateServer().IsRegistered()) << "no class object in a normal start";
    ASSERT_NE(frame->Action(ID_FILE_SERVICE_REPORT), nullptr);
    EXPECT_TRUE(frame->Action(ID_FILE_SERVICE_REPORT)->isEnabled()) << "someone handles it";
    app.ExitInstance();
}

TEST_F(StartupTest, RecordsTheServiceHistoryUnlessStartedWithNoHistory) {
    RegisterFakeServer();
    {
        COrvixClientApp app;
        ASSERT_TRUE(app.InitInstance(kNormalStart + QStringList{"--no-history"}));
        // Nothing records between the window and the forwarder to the server.
        EXPECT_EQ(static_cast<CInstrumentServerForwarder*>(g_pServer)->Target(),
                  static_cast<IInstrumentServer*>(fake));
        app.ExitInstance();
    }
    const QString path = qEnvironmentVariable("XDG_STATE_HOME") + "/orvix/history.sqlite";
    QFile::remove(path);
    EXPECT_FALSE(QFile::exists(path));
    {
        COrvixClientApp app;
        ASSERT_TRUE(app.InitInstance(kNormalStart));
        g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
        app.ExitInstance();
    }
    CHistoryStore store;
    ASSERT_TRUE(store.Open(path, CHistoryStore::Mode::Read)) << store.ErrorText().toStdString();
    const std::vector<HistoryEntry> entries = store.Entries({});
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front().text, QStringLiteral("Reset Communications: accepted"));
    EXPECT_EQ(entries.front().user, LoginName());
}

TEST_F(StartupTest, ClosingTheMainWindowThenShutdownReleasesTheServerOnce) {
    RegisterFakeServer();
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));
    QPointer<CMainFrame> frame = app.MainWindow();
    ASSERT_FALSE(frame.isNull());

    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(app.DocTemplate()->Document(), nullptr);
    EXPECT_EQ(AppLockCount(), 0);
    EXPECT_EQ(fake->RefCount(), 2U) << "closing alone releases nothing";

    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(fake->RefCount(), 1U);
    EXPECT_EQ(g_pServer, nullptr);
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(fake->calls.size(), 2U) << "shutdown calls no operation";

    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull()) << "the frame is gone with its document";

    app.ExitInstance();
    EXPECT_EQ(fake->RefCount(), 1U) << "a second shutdown releases nothing more";
}

// A termination signal while a dialog is open: the dialog goes, then the main window, the main
// loop does not run again, and shutdown releases the server as after a normal close.
TEST_F(StartupTest, ASignalDuringADialogClosesItAndTheWindowAndReleasesTheServer) {
    RegisterFakeServer();
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));
    QPointer<CMainFrame> frame = app.MainWindow();
    ASSERT_FALSE(frame.isNull());
    ModalAnswerer signalled({[&app](QWidget*) { app.CloseMainWindow(); }});
    frame->OnCommand(ID_APP_ABOUT);
    EXPECT_EQ(signalled.Seen(), QStringList{QStringLiteral("About Orvix Client")});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_EQ(fake->RefCount(), 1U);
}

TEST_F(StartupTest, AFailingOpenConnectionDoesNotStopStartUp) {
    RegisterFakeServer();
    fake->SetResult("OpenConnection", RPC_E_TIMEOUT);
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(fake->CallsTo("OpenConnection"), std::vector<std::string>{"OpenConnection(4, 1)"});
    ASSERT_NE(app.MainWindow(), nullptr);
    EXPECT_TRUE(app.MainWindow()->isVisible());
    EXPECT_EQ(app.MainWindow()->windowTitle(), QStringLiteral("Orvix Diagnostics"));
    app.ExitInstance();
}

TEST_F(StartupTest, ANormalStartWritesTheDocumentActivationFile) {
    RegisterFakeServer();
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));
    const QString text = ReadAll(DocumentActivationFile());
    EXPECT_TRUE(
        text.contains(QStringLiteral("[D-BUS Service]\nName=org.orvix.OrvixClient.Document\n"
                                     "Exec=%1 -Automation\n")
                          .arg(QCoreApplication::applicationFilePath())))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("OrvixClient.Document")));
    EXPECT_TRUE(text.contains(QStringLiteral("{87450DBD-E84E-11D2-81A8-0020AFF36907}")));
    app.ExitInstance();
}

TEST_F(StartupTest, TheProfileKeepsItsRecentFileListOfFour) {
    {
        QSettings profile(QStringLiteral("Local AppWizard-Generated Applications"),
                          QStringLiteral("Orvix Client"));
        profile.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/data/a.bin"));
        profile.setValue(QStringLiteral("Recent File List/File3"), QStringLiteral("/data/c.bin"));
        profile.setValue(QStringLiteral("Recent File List/File5"), QStringLiteral("/data/e.bin"));
        EXPECT_TRUE(profile.fileName().startsWith(ConfigHome()))
            << profile.fileName().toStdString();
    }
    RegisterFakeServer();
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance(kNormalStart));
    EXPECT_EQ(QCoreApplication::organizationName(),
              QStringLiteral("Local AppWizard-Generated Applications"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Orvix Client"));
    ASSERT_NE(app.RecentFileList(), nullptr);
    EXPECT_EQ(app.RecentFileList()->Entries(),
              QStringList({QStringLiteral("/data/a.bin"), QString(), QStringLiteral("/data/c.bin"),
                           QString()}));
    app.ExitInstance();

    QSettings profile(QStringLiteral("Local AppWizard-Generated Applications"),
                      QStringLiteral("Orvix Client"));
    profile.beginGroup(QStringLiteral("Recent File List"));
    EXPECT_EQ(profile.childKeys(), QStringList({QStringLiteral("File1"), QStringLiteral("File3")}));
    EXPECT_EQ(profile.value(QStringLiteral("File3")).toString(), QStringLiteral("/data/c.bin"));
}

TEST_F(StartupTest, AFrameThatCannotBeMadeEndsStartUpWithTheFrameworkMessage) {
    RegisterFakeServer();
    COrvixClientApp app([] {
        DocTemplateParts parts;
        parts.createDocument = [] { return new COrvixClientDoc; };
        parts.createFrame = []() -> CMainFrame* { return nullptr; };
        parts.createView = [](COrvixClientDoc*, CMainFrame*) { return new QWidget; };
        return std::make_unique<CSingleDocTemplate>(128, std::move(parts));
    });
    EXPECT_FALSE(app.InitInstance(kNormalStart));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Failed to create empty document."));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Orvix Client"));
    EXPECT_TRUE(AllFrames().empty());
    EXPECT_EQ(AppLockCount(), 0);
    app.ExitInstance();
    EXPECT_EQ(g_pServer, nullptr);
}

class AutomationSwitchTest : public AppFixture,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(AutomationSwitchTest, KeepsTheApplicationInvisibleWithTheConnectionOpen) {
    RegisterFakeServer();
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    {
        COrvixClientApp app;
        ASSERT_TRUE(
            app.InitInstance({QStringLiteral("orvix-client"), QString::fromUtf8(GetParam())}));
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(fake->calls, std::vector<std::string>{"OpenConnection(4, 1)"});
        EXPECT_NE(g_pServer, nullptr);
        EXPECT_TRUE(AllFrames().empty()) << "no document until a client asks for one";
        EXPECT_EQ(app.MainWindow(), nullptr);
        EXPECT_FALSE(HasUserControl());
        EXPECT_TRUE(app.TemplateServer().IsRegistered());
        EXPECT_EQ(
            bus.interface()->serviceOwner(QStringLiteral("org.orvix.OrvixClient.Document")).value(),
            bus.baseService());
        EXPECT_FALSE(QFile::exists(DocumentActivationFile())) << "registration is not refreshed";
        app.ExitInstance();
        EXPECT_EQ(fake->RefCount(), 1U);
    }
    EXPECT_FALSE(bus.interface()
                     ->isServiceRegistered(QStringLiteral("org.orvix.OrvixClient.Document"))
                     .value())
        << "the class object goes with the application";
}

INSTANTIATE_TEST_SUITE_P(Switches, AutomationSwitchTest,
                         ::testing::Values("-Automation", "/Automation", "-Embedding", "/Embedding",
                                           "-automation"));

} // namespace
