#include "accessibility_check.h"
#include "control_commands.h"
#include "control_id.h"
#include "fake_instrument_server.h"
#include "instrument_proxy.h"
#include "main_frame.h"
#include "main_template.h"
#include "modal_answerer.h"
#include "orvix_client_view.h"
#include "process_state.h"
#include "resource.h"
#include "scroll_check.h"
#include "ui.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

class MainFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        m_fake = CFakeInstrumentServer::Create();
        g_pServer = m_fake;
        m_previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            m_messages << request.text;
            return IDOK;
        });
        ASSERT_TRUE(m_frame.Create());
        m_view = new COrvixClientView;
        m_frame.setCentralWidget(m_view);
        m_frame.SetCommandTargets({m_view, &m_commands});
    }
    void TearDown() override {
        SetMessageBoxHandler(m_previousBox);
        g_pServer = nullptr;
        m_fake->Release();
        ResetProcessState();
    }

    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* menu : m_frame.menuBar()->actions()) {
            titles << menu->text();
        }
        return titles;
    }
    QMenu* Menu(const QString& title) const {
        for (QAction* menu : m_frame.menuBar()->actions()) {
            if (menu->text() == title) {
                return menu->menu();
            }
        }
        return nullptr;
    }
    // "text:id" per entry, "-" per separator.
    static QStringList Entries(const QList<QAction*>& actions) {
        QStringList entries;
        for (QAction* action : actions) {
            entries << (action->isSeparator()
                            ? QStringLiteral("-")
                            : action->text() + u':' +
                                  QString::number(action->property("commandId").toInt()));
        }
        return entries;
    }
    QAction* ToolbarAction(int commandId) const {
        for (QAction* action : m_frame.ToolBar()->actions()) {
            if (action->property("commandId").toInt() == commandId) {
                return action;
            }
        }
        return nullptr;
    }
    // Opens the first window of each command that opens one and hands it to step.
    void OpenEachDialog(const ModalAnswerer::Step& step) {
        for (const int command :
             {ID_CONTROL_CHANGE_FLOW, ID_CONTROL_DRY_PRIME, ID_CONTROL_WET_PRIME,
              ID_CONTROL_USER_DIAGNOSTICS, ID_APP_ABOUT, ID_CONTROL_SERVICE_DIAGNOSTICS}) {
            ModalAnswerer answerer({step});
            m_frame.OnCommand(command);
            EXPECT_TRUE(answerer.Finished()) << command;
        }
    }
    QLabel* ErrorsText() const { return FindControl<QLabel>(m_view, 1017); }
    void ShowAnError() {
        m_fake->status.bErrorsPending = 1;
        m_fake->firstError = "Pump A overpressure";
        m_view->OnTimer();
        ASSERT_EQ(ErrorsText()->text(), QStringLiteral("Pump A overpressure"));
    }

    CFakeInstrumentServer* m_fake = nullptr;
    MessageBoxHandler m_previousBox;
    QStringList m_messages;
    CMainFrame m_frame;
    COrvixClientView* m_view = nullptr;
    CControlCommands m_commands;
};

TEST_F(MainFrame, MenuBarInOrderWithItsCommands) {
    EXPECT_EQ(MenuTitles(),
              (QStringList{"&File", "&Edit", "&View", "Control", "&Help", "Test", "COM"}));
    EXPECT_EQ(Entries(Menu("&File")->actions()),
              (QStringList{"Service &Report...:32920", "-", "E&xit:57665"}));
    EXPECT_EQ(Entries(Menu("&View")->actions()),
              (QStringList{"&Toolbar:59392", "&Status Bar:59393"}));
    EXPECT_EQ(Entries(Menu("Control")->actions()),
              (QStringList{"Reset Communications:32808", "-", "Change Flow...:32809", "-",
                           "Dry Prime...:32810", "Wet Prime...:32811", "-",
                           "User Diagnostics...:32812", "Service Diagnostics...:32813"}));
    EXPECT_EQ(Entries(Menu("&Help")->actions()), QStringList{"&About Orvix Client...:57664"});
    EXPECT_FALSE(Menu("&Edit")->isEnabled());
    EXPECT_FALSE(Menu("COM")->isEnabled());
    EXPECT_TRUE(Menu("Control")->isEnabled());
    for (QAction* action : Menu("Control")->actions()) {
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
    // The edit entries have no handler anywhere.
    EXPECT_FALSE(m_frame.Action(ID_EDIT_COPY)->isEnabled());
}

TEST_F(MainFrame, TheTestMenuListsItsCommandsWithMoveFeederGreyed) {
    EXPECT_EQ(Entries(Menu("Test")->actions()).join(u' '),
              QStringLiteral(
                  "ChangeFlow:32780 ConditionColumn:32781 Equilibrate:32782 "
                  "ExchangeSamplePlate:32798 GetInstrumentConfiguration:32783 Get Separation "
                  "Method:32779 GoToInitialConditions:32785 HoldAndResumeFlow:32786 "
                  "InitializeInstrument:32787 LaunchDiagnostics:32788 MoveFeeder:32801 "
                  "MoveLift:32799 PerformInjection:32789 PerformTrigger:32790 ReadAllData:32791 "
                  "ReadAllErrors:32792 ReadStatus:32793 SetInstrumentConfiguration:32800 "
                  "SetPlateConfiguration:32794 SetRunActiveLed:32795 SetSeparationMethod:32796 "
                  "WetPrimeSystem:32797"));
    for (QAction* action : Menu("Test")->actions()) {
        EXPECT_EQ(action->isEnabled(), action->text() != QStringLiteral("MoveFeeder"))
            << action->text().toStdString();
    }
    m_frame.Action(ID_TEST_CHANGE_FLOW)->trigger();
    EXPECT_EQ(m_fake->calls, (std::vector<std::string>{"ChangeFlow(20, 33, 33, 33)"}));
}

TEST_F(MainFrame, AnUnwritableDataFileIsReportedInTheStatusBarWithoutABox) {
    // Run from <temp>/work, whose sibling folder Orvix does not exist.
    QTemporaryDir home;
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("work")));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(home.filePath(QStringLiteral("work"))));
    m_fake->dataBlocks = {{1, {1, 2, 3}}};
    const std::unique_ptr<CSingleDocTemplate> docTemplate = CreateMainDocTemplate();
    ASSERT_NE(docTemplate->OpenDocumentFile(false), nullptr);
    docTemplate->Frame()->Action(ID_TEST_READ_ALL_DATA)->trigger();
    EXPECT_EQ(docTemplate->Frame()->statusBar()->currentMessage(),
              QStringLiteral("Could not write %1/Orvix/data.bin: No such file or directory")
                  .arg(home.path()));
    EXPECT_FALSE(QFileInfo::exists(home.filePath(QStringLiteral("Orvix"))));
    EXPECT_TRUE(m_messages.isEmpty());
    docTemplate->CloseAllDocuments();
    QDir::setCurrent(previous);
}

TEST_F(MainFrame, ToolbarButtonsTooltipsAndPrompts) {
    EXPECT_EQ(Entries(m_frame.ToolBar()->actions()),
              (QStringList{"Reset Communications:32806", "-", "Change Flow:32775", "-",
                           "Dry Prime:32810", "Wet Prime:32811", "-", "User Diagnostics:32812",
                           "Service Diagnostics:32813"}));
    EXPECT_EQ(m_frame.ToolBar()->iconSize(), QSize(16, 15));
    for (QAction* action : m_frame.ToolBar()->actions()) {
        if (action->isSeparator()) {
            continue;
        }
        EXPECT_EQ(action->toolTip(), action->text());
        EXPECT_EQ(action->statusTip(), action->text()) << "prompt and tooltip agree here";
        EXPECT_FALSE(action->icon().pixmap(QSize(16, 15)).isNull()) << action->text().toStdString();
        EXPECT_FALSE(action->icon().pixmap(QSize(32, 30)).isNull()) << "sharp at twice the size";
    }
    EXPECT_EQ(m_frame.Action(ID_CONTROL_RESET_COMMUNICATIONS)->statusTip(), QString())
        << "menu-only commands have no prompt";
    EXPECT_EQ(m_frame.Action(ID_CONTROL_CHANGE_FLOW)->statusTip(), QString());
    EXPECT_EQ(m_frame.Action(ID_APP_ABOUT)->statusTip(),
              QStringLiteral("Display program information, version number and copyright"));
}

TEST_F(MainFrame, StatusBarShowsReadyAndTheLockIndicators) {
    const auto* ready = m_frame.statusBar()->findChild<QLabel*>(QStringLiteral("messagePane"));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), QStringLiteral("Ready"));
    EXPECT_EQ(m_frame.Indicator(ID_INDICATOR_CAPS)->text(), QStringLiteral("CAP"));
    EXPECT_EQ(m_frame.Indicator(ID_INDICATOR_NUM)->text(), QStringLiteral("NUM"));
    EXPECT_EQ(m_frame.Indicator(ID_INDICATOR_SCRL)->text(), QStringLiteral("SCRL"));
}

TEST_F(MainFrame, StatusBarShowsTheConnectionBesideReady) {
    m_frame.SetConnectionStatus(m_view->ConnectionStatus());
    QLabel* pane = m_frame.ConnectionPane();
    EXPECT_EQ(pane->text(), QStringLiteral("Instrument connected"));
    auto* proxy = new CInstrumentServerProxy(
        [](const QDBusMessage& call) { return call.createErrorReply(QDBusError::NoReply, {}); });
    g_pServer = proxy;
    m_view->OnTimer();
    EXPECT_TRUE(pane->text().startsWith(QStringLiteral("Instrument not answering since ")));
    // A prompt that replaces "Ready" leaves the connection on show.
    m_frame.statusBar()->showMessage(QStringLiteral("Change Flow"));
    EXPECT_FALSE(pane->isHidden());
    g_pServer = m_fake;
    proxy->Release();
    EXPECT_EQ(AccessibilityProblems(&m_frame), QStringList());
}

TEST_F(MainFrame, ViewTogglesHideAndShowTheBars) {
    m_frame.show();
    m_frame.Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_FALSE(m_frame.ToolBar()->isVisible());
    EXPECT_FALSE(m_frame.Action(ID_VIEW_TOOLBAR)->isChecked());
    m_frame.Action(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_FALSE(m_frame.statusBar()->isVisible());
    m_frame.Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_TRUE(m_frame.ToolBar()->isVisible());
}

TEST_F(MainFrame, OpensAtTheTopLeftAndShrinksToTheForm) {
    EXPECT_EQ(m_frame.pos(), QPoint(0, 0));
    const QSize before = m_frame.size();
    m_frame.FitToView();
    EXPECT_LE(m_frame.width(), before.width());
    EXPECT_LE(m_frame.height(), before.height());
    EXPECT_GE(m_frame.height(), m_frame.minimumSizeHint().height()) << "the form stays whole";
}

TEST_F(MainFrame, AcceleratorsReachNoInstrumentCommand) {
    m_frame.show();
    for (const auto keys : {Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_C, Qt::SHIFT | Qt::Key_Insert,
                            Qt::ALT | Qt::Key_Backspace, QKeyCombination(Qt::Key_F6)}) {
        QTest::keyClick(&m_frame, keys.key(), keys.keyboardModifiers());
    }
    EXPECT_TRUE(m_fake->calls.empty());
}

TEST_F(MainFrame, ResetFromTheToolbarClearsTheErrorAndFromTheMenuKeepsIt) {
    ShowAnError();
    m_fake->calls.clear();
    m_frame.Action(ID_CONTROL_RESET_COMMUNICATIONS)->trigger();
    EXPECT_EQ(ErrorsText()->text(), QStringLiteral("Pump A overpressure"));
    EXPECT_EQ(m_fake->calls, (std::vector<std::string>{"InitializeInstrument(4, 1)"}));
    m_fake->calls.clear();
    ToolbarAction(ID_RESET_COMMUNICATIONS)->trigger();
    EXPECT_EQ(ErrorsText()->text(), QString());
    EXPECT_EQ(m_fake->calls, (std::vector<std::string>{"InitializeInstrument(4, 1)"}));
}

TEST_F(MainFrame, EachControlCommandOpensItsWindow) {
    const std::vector<std::pair<int, QString>> commands{
        {ID_CONTROL_CHANGE_FLOW, QStringLiteral("Change Flow")},
        {ID_TOOLBAR_CHANGE_FLOW, QStringLiteral("Change Flow")},
        {ID_CONTROL_DRY_PRIME, QStringLiteral("Dry Prime")},
        {ID_CONTROL_WET_PRIME, QStringLiteral("Wet Prime")},
        {ID_CONTROL_USER_DIAGNOSTICS, QStringLiteral("User Diagnostics")},
        {ID_APP_ABOUT, QStringLiteral("About Orvix Client")},
        {ID_CONTROL_SERVICE_DIAGNOSTICS, QStringLiteral("Enter Password")},
    };
    for (const auto& [command, title] : commands) {
        ModalAnswerer answerer({&ModalAnswerer::Reject});
        m_frame.OnCommand(command);
        EXPECT_EQ(answerer.Seen(), QStringList{title}) << command;
    }
}

// The window system keeps a dialog over the window it belongs to, and with it.
TEST_F(MainFrame, EveryWindowACommandOpensBelongsToTheFrame) {
    m_commands.SetOwner(&m_frame);
    m_frame.show();
    const auto owned = [this](QWidget* modal) {
        EXPECT_EQ(modal->windowHandle()->transientParent(), m_frame.windowHandle())
            << modal->windowTitle().toStdString();
        ModalAnswerer::Reject(modal);
    };
    OpenEachDialog(owned);
}

TEST_F(MainFrame, TheServiceSheetOpensOnlyBehindTheAccessCode) {
    {
        ModalAnswerer cancelled({&ModalAnswerer::Reject});
        m_frame.Action(ID_CONTROL_SERVICE_DIAGNOSTICS)->trigger();
        EXPECT_EQ(cancelled.Seen(), QStringList{"Enter Password"});
    }
    {
        const auto typeCode = [](const char* code) {
            return [code](QWidget* password) {
                auto* edit = password->findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
                edit->setText(QLatin1String(code));
                QTest::keyClick(edit, Qt::Key_Return);
            };
        };
        ModalAnswerer answered({[&](QWidget* password) {
                                    typeCode("1234")(password);
                                    typeCode("6274")(password);
                                },
                                &ModalAnswerer::Reject});
        m_frame.Action(ID_CONTROL_SERVICE_DIAGNOSTICS)->trigger();
        EXPECT_EQ(answered.Seen(), (QStringList{"Enter Password", "Service Diagnostics"}));
        EXPECT_EQ(m_messages, QStringList{"Invalid Password Entered"});
    }
    EXPECT_FALSE(g_state.autoSamplerMonitor);
    EXPECT_TRUE(m_fake->CallsTo("SetAutoSamplerMonitor").empty());
}

// A small panel, a kiosk or a tiling desktop imposes the window's size: the window takes it, and
// whatever no longer fits scrolls, with every control still in reach of the Tab key.
TEST_F(MainFrame, TakesASmallSizeWithTheFormScrollingAndEveryControlInReach) {
    m_fake->configuration.bPlateFeeder = 1;
    m_fake->configuration.bSampleTemp = 1;
    m_view->OnInitialUpdate();
    m_frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    const QSize small(320, 240);
    m_frame.resize(small);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_frame.size(), small);
    EXPECT_TRUE(ScrollsBothWays(m_view));
    EXPECT_EQ(ControlsTabLeavesOutOfView(&m_frame).join(u';').toStdString(), "");

    m_frame.resize(m_frame.sizeHint());
    QCoreApplication::processEvents();
    EXPECT_FALSE(ScrollsBothWays(m_view)) << "at its own size the form shows whole";
}

// A dock whose content needs more room than the window has scrolls too, and leaves the view
// its whole size where the window has room for it.
TEST_F(MainFrame, ADockNeitherHoldsTheWindowLargeNorCrowdsTheView) {
    auto* dock = new QDockWidget(QStringLiteral("Chart"), &m_frame);
    auto* chart = new QWidget;
    chart->setMinimumSize(480, 300);
    dock->setWidget(chart);
    m_frame.addDockWidget(Qt::BottomDockWidgetArea, dock);
    m_frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    const QSize small(320, 240);
    m_frame.resize(small);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_frame.size(), small);
    EXPECT_TRUE(ScrollsBothWays(dock));

    m_frame.resize(m_frame.sizeHint());
    QCoreApplication::processEvents();
    EXPECT_FALSE(ScrollsBothWays(m_view));
    EXPECT_GE(chart->height(), 300) << "the dock keeps the room its content needs";
}

// Each window a command opens takes a size below its template's, the same way.
TEST_F(MainFrame, EveryDialogTakesASmallSizeAndKeepsItsControlsInReach) {
    const auto shrink = [](QWidget* modal) {
        const QSize small = (modal->sizeHint() / 2).expandedTo(modal->minimumSizeHint());
        modal->resize(small);
        QCoreApplication::processEvents();
        EXPECT_EQ(modal->size(), small) << modal->windowTitle().toStdString();
        EXPECT_TRUE(ScrollsBothWays(modal)) << modal->windowTitle().toStdString();
        EXPECT_EQ(ControlsTabLeavesOutOfView(modal).join(u';').toStdString(), "")
            << modal->windowTitle().toStdString();
        ModalAnswerer::Reject(modal);
    };
    OpenEachDialog(shrink);
}

} // namespace
