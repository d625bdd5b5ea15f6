#include "app_lock.h"
#include "command_line.h"
#include "doc_template.h"
#include "icon_table.h"
#include "ids_app.h"
#include "main_frame.h"
#include "orvix_client_doc.h"
#include "recent_file_list.h"
#include "template_server.h"
#include "termination_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <csignal>

namespace {

CCommandLineInfo Parse(std::initializer_list<const char*> words) {
    QStringList arguments{QStringLiteral("orvix-client")};
    for (const char* word : words) {
        arguments << QString::fromUtf8(word);
    }
    return CCommandLineInfo::Parse(arguments);
}

TEST(CommandLineTest, RecognisesTheAutomationSwitchesInEitherFormAndCase) {
    EXPECT_TRUE(Parse({"-Embedding"}).runEmbedded);
    EXPECT_TRUE(Parse({"/Embedding"}).runEmbedded);
    EXPECT_TRUE(Parse({"/EMBEDDING"}).LaunchedForAutomation());
    EXPECT_TRUE(Parse({"-Automation"}).runAutomated);
    EXPECT_TRUE(Parse({"/automation"}).runAutomated);
    EXPECT_TRUE(Parse({"file.bin", "-Automation"}).LaunchedForAutomation());
}

TEST(CommandLineTest, AnythingElseStartsNormally) {
    EXPECT_FALSE(Parse({}).LaunchedForAutomation());
    EXPECT_FALSE(Parse({"Automation"}).LaunchedForAutomation()) << "a file name, not a switch";
    EXPECT_FALSE(Parse({"--Automation"}).LaunchedForAutomation());
    EXPECT_FALSE(Parse({"-Automate", "/Embed", "/p", "-dde"}).LaunchedForAutomation());
    // The program's own path never counts, whatever it is called.
    EXPECT_FALSE(CCommandLineInfo::Parse({QStringLiteral("/Automation")}).LaunchedForAutomation());
}

TEST(CommandLineTest, TakesTheReportFileAndTheStartOfItsHistory) {
    EXPECT_FALSE(Parse({}).WritesReport());
    EXPECT_EQ(Parse({"--report", "/tmp/a.pdf"}).reportPath, QStringLiteral("/tmp/a.pdf"));
    EXPECT_EQ(Parse({"--REPORT=b.pdf"}).reportPath, QStringLiteral("b.pdf"));
    EXPECT_FALSE(Parse({"--report"}).WritesReport()) << "no file given";
    const CCommandLineInfo since = Parse({"--since", "2026-12-09T08:30:00Z", "--report", "c.pdf"});
    EXPECT_EQ(since.reportSince, QDateTime(QDate(2026, 12, 9), QTime(8, 30), QTimeZone::utc()));
    EXPECT_FALSE(since.badReportSince);
    EXPECT_EQ(Parse({"--since=yesterday"}).badReportSince, QStringLiteral("yesterday"));
}

TEST(CommandLineTest, VerifiesTheNamedHistoryOrTheUsersOwn) {
    EXPECT_FALSE(Parse({}).verifyHistory);
    EXPECT_EQ(Parse({"--verify-history"}).verifyHistory, QString());
    EXPECT_EQ(Parse({"--verify-history", "--no-history"}).verifyHistory, QString());
    EXPECT_EQ(Parse({"--verify-history", "old.sqlite"}).verifyHistory,
              QStringLiteral("old.sqlite"));
    EXPECT_EQ(Parse({"--verify-history=a=b.sqlite"}).verifyHistory, QStringLiteral("a=b.sqlite"));
}

TEST(CommandLineTest, NamesTheRemoteComputerItsSshOptionsAndItsBus) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("ORVIX_HOST"), QStringLiteral("lab-pc"));
    const QStringList program{QStringLiteral("orvix-client")};
    EXPECT_EQ(CCommandLineInfo::Parse(program, environment).server.host, QStringLiteral("lab-pc"));
    EXPECT_FALSE(CCommandLineInfo::Parse(program, QProcessEnvironment()).server.IsRemote());

    const CCommandLineInfo info = CCommandLineInfo::Parse(
        program + QStringList{QStringLiteral("--host"), QStringLiteral("service@lab-pc2"),
                              QStringLiteral("--ssh-option=Port=2222"),
                              QStringLiteral("--ssh-option"), QStringLiteral("IdentityFile=~/k"),
                              QStringLiteral("--bus-path"), QStringLiteral("unix:path=/run/b"),
                              QStringLiteral("-Automation")},
        environment);
    EXPECT_EQ(info.server.host, QStringLiteral("service@lab-pc2")) << "the option wins";
    EXPECT_EQ(info.server.sshOptions,
              (QStringList{QStringLiteral("Port=2222"), QStringLiteral("IdentityFile=~/k")}));
    EXPECT_EQ(info.server.busPath, QStringLiteral("unix:path=/run/b"));
    EXPECT_TRUE(info.runAutomated);
}

TEST(ActivationFileTest, NamesTheBusNameAndTheCommand) {
    EXPECT_EQ(ActivationFileText(QStringLiteral("org.example.Thing"),
                                 QStringLiteral("/opt/orvix/bin/orvix-client"),
                                 QStringLiteral("-Automation"), QStringLiteral("A thing")),
              QStringLiteral("# A thing\n[D-BUS Service]\nName=org.example.Thing\n"
                             "Exec=/opt/orvix/bin/orvix-client -Automation\n"));
}

TEST(ActivationFileTest, QuotesAPathTheBusWouldSplit) {
    const QString text = ActivationFileText(QStringLiteral("org.example.Thing"),
                                            QStringLiteral("/home/a user/it's/orvix-client"),
                                            QStringLiteral("-Automation"), QString());
    EXPECT_EQ(text, QStringLiteral("[D-BUS Service]\nName=org.example.Thing\n"
                                   "Exec='/home/a user/it'\\''s/orvix-client' -Automation\n"));
}

TEST(ActivationFileTest, GoesToTheSessionServicesFolderOfXdgDataHome) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    EXPECT_EQ(SessionServicesDir(), home.path() + QStringLiteral("/dbus-1/services"));
    EXPECT_TRUE(WriteActivationFile(QStringLiteral("org.example.Thing"),
                                    QStringLiteral("/bin/true"), QString(), QString()));
    EXPECT_TRUE(
        QFile::exists(home.path() + QStringLiteral("/dbus-1/services/org.example.Thing.service")));
    // A relative XDG_DATA_HOME is to be ignored, as the bus ignores it.
    qputenv("XDG_DATA_HOME", "relative/dir");
    EXPECT_EQ(SessionServicesDir(),
              QDir::homePath() + QStringLiteral("/.local/share/dbus-1/services"));
    qputenv("XDG_DATA_HOME", saved);
}

TEST(DocumentTest, HoldsALockOnTheApplicationWhileItExists) {
    ASSERT_EQ(AppLockCount(), 0);
    auto* document = new COrvixClientDoc;
    EXPECT_EQ(AppLockCount(), 1);
    EXPECT_FALSE(CanExitApp());
    EXPECT_TRUE(document->OnNewDocument());
    QPointer<COrvixClientDoc> alive = document;
    EXPECT_EQ(document->AddRef(), 2U);
    EXPECT_EQ(document->Release(), 1U);
    EXPECT_FALSE(alive.isNull());
    EXPECT_EQ(document->Release(), 0U);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(AppLockCount(), 0);
    EXPECT_TRUE(CanExitApp());
}

TEST(AppLockTest, TheLastUnlockEndsOnlyAnApplicationTheUserDoesNotHave) {
    int ended = 0;
    const AllObjectsReleasedHandler saved = SetAllObjectsReleasedHandler([&] { ++ended; });
    LockApp();
    UnlockApp();
    EXPECT_EQ(ended, 0) << "the user has it";
    SetUserControl(false);
    LockApp();
    LockApp();
    UnlockApp();
    EXPECT_EQ(ended, 0);
    UnlockApp();
    EXPECT_EQ(ended, 1);
    UnlockApp();
    EXPECT_EQ(AppLockCount(), 0) << "a surplus unlock does nothing";
    EXPECT_EQ(ended, 1);
    SetUserControl(true);
    SetAllObjectsReleasedHandler(saved);
}

TEST(DocTemplateTest, MakesTheDocumentFrameAndViewAndClosesThemTogether) {
    int initialUpdates = 0;
    QWidget* madeView = nullptr;
    DocTemplateParts parts;
    parts.createDocument = [] { return new COrvixClientDoc; };
    parts.createFrame = [] { return new CMainFrame; };
    parts.createView = [&](COrvixClientDoc*, CMainFrame* frame) {
        madeView = new QWidget(frame);
        return madeView;
    };
    parts.initialUpdate = [&](QWidget* view) {
        EXPECT_EQ(view, madeView);
        ++initialUpdates;
    };
    CSingleDocTemplate docTemplate(IDR_MAINFRAME, std::move(parts));
    EXPECT_EQ(docTemplate.DocString(0), QStringLiteral("Orvix Client"));
    EXPECT_EQ(docTemplate.DocString(5), QStringLiteral("OrvixClient.Document"));
    EXPECT_EQ(docTemplate.DocString(6), QStringLiteral("OrvixC Document"));

    COrvixClientDoc* document = docTemplate.OpenDocumentFile(false);
    ASSERT_NE(document, nullptr);
    QPointer<CMainFrame> frame = docTemplate.Frame();
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame->centralWidget(), madeView);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Orvix Client"));
    EXPECT_EQ(initialUpdates, 1);

    // A single-document template hands out the same document again.
    EXPECT_EQ(docTemplate.OpenDocumentFile(false), document);
    EXPECT_EQ(document->RefCount(), 2U);

    docTemplate.CloseAllDocuments();
    EXPECT_EQ(docTemplate.Document(), nullptr);
    EXPECT_EQ(AppLockCount(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame.isNull());
}

TEST(RecentFileListTest, ReadsAndWritesFileOneToFileN) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings profile(dir.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Recent File List/File2"), QStringLiteral("b"));
    profile.setValue(QStringLiteral("Recent File List/File4"), QStringLiteral("d"));
    profile.setValue(QStringLiteral("Recent File List/Stale"), QStringLiteral("x"));

    CRecentFileList list(4);
    list.ReadList(profile);
    EXPECT_EQ(list.Entries(),
              QStringList({QString(), QStringLiteral("b"), QString(), QStringLiteral("d")}));
    list.WriteList(profile);
    profile.beginGroup(QStringLiteral("Recent File List"));
    EXPECT_EQ(profile.childKeys(), QStringList({QStringLiteral("File2"), QStringLiteral("File4")}));
}

TEST(TerminationSignalsTest, AFloodOfSignalsWhileTheLoopIsBusyDoesNotStopTheProcess) {
    static int handled = 0;
    HandleTerminationSignals([] { ++handled; });
    // Nothing reads the socket while this loop runs, as when the event loop is busy: a handler
    // that blocked on a full socket would never return.
    for (int i = 0; i < 100000; ++i) {
        std::raise(SIGHUP);
    }
    for (int i = 0; i < 100 && handled == 0; ++i) {
        QCoreApplication::processEvents();
    }
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        std::signal(signalNumber, SIG_DFL);
    }
    EXPECT_GE(handled, 1);
}

TEST(IconTableTest, IconOneTwentyEightIsTheApplicationsOwn) {
    EXPECT_TRUE(HasIconResource(IDI_MAINFRAME));
    const QIcon icon = LoadIconResource(IDI_MAINFRAME);
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        EXPECT_FALSE(icon.pixmap(size, size).isNull()) << size;
    }
    EXPECT_FALSE(HasIconResource(1));
    EXPECT_TRUE(LoadIconResource(1).isNull());
}

} // namespace
