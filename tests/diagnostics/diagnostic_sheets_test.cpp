#include "accessibility_check.h"
#include "diagnostic_sheets.h"
#include "fake_instrument_server.h"
#include "modal_answerer.h"
#include "process_state.h"
#include "scroll_check.h"
#include "ui.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class DiagnosticSheets : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        m_fake = CFakeInstrumentServer::Create();
        g_pServer = m_fake;
    }
    void TearDown() override {
        g_pServer = nullptr;
        m_fake->Release();
        ResetProcessState();
    }
    std::vector<std::string> MonitorCalls() const {
        return m_fake->CallsTo("SetAutoSamplerMonitor");
    }
    static QStringList Tabs(const CPropertySheet& sheet) {
        QStringList tabs;
        for (int i = 0; i < sheet.TabBar()->count(); ++i) {
            tabs << sheet.TabBar()->tabText(i);
        }
        return tabs;
    }
    static void ClickTab(CPropertySheet& sheet, const QString& caption) {
        const QStringList tabs = Tabs(sheet);
        const int index = static_cast<int>(tabs.indexOf(caption));
        ASSERT_GE(index, 0) << caption.toStdString();
        QTest::mouseClick(sheet.TabBar(), Qt::LeftButton, {},
                          sheet.TabBar()->tabRect(index).center());
    }

    CFakeInstrumentServer* m_fake = nullptr;
    // The AutoSampler Service page asks for the plate type at every activation; the sheets
    // themselves are left alone.
    ModalAnswerer m_plateTypes{std::vector<ModalAnswerer::Step>(16, [](QWidget* modal) {
        if (modal->windowTitle() == QStringLiteral("Plate Type")) {
            ModalAnswerer::Reject(modal);
        }
    })};
};

TEST_F(DiagnosticSheets, ServiceSheetOpensOnAutoSamplerWithEightTabs) {
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Service Diagnostics"));
    EXPECT_EQ(Tabs(sheet), (QStringList{"AutoSampler", "Configuration", "I/O", "Silk", "Valves",
                                        "AutoSampler Service", "AutoSampler Sensors", "Usage"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_TRUE(sheet.ConfigurationPage().FullAccess());
    // Only the page on show has its window.
    EXPECT_TRUE(sheet.GetPage(0)->HasWindow());
    for (int i = 1; i < sheet.GetPageCount(); ++i) {
        EXPECT_FALSE(sheet.GetPage(i)->HasWindow()) << i;
    }
    ClickTab(sheet, QStringLiteral("Usage"));
    EXPECT_TRUE(sheet.GetPage(7)->HasWindow());
    EXPECT_FALSE(sheet.GetPage(6)->HasWindow());
}

TEST_F(DiagnosticSheets, UserSheetHasThreeTabsAndLocksTheConfiguration) {
    CUserConfig sheet(QStringLiteral("User Diagnostics"));
    sheet.show();
    EXPECT_EQ(Tabs(sheet), (QStringList{"AutoSampler", "Configuration", "I/O"}));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_FALSE(sheet.ConfigurationPage().FullAccess());
}

TEST_F(DiagnosticSheets, EveryPageKeepsTheAccessibilityContract) {
    // Volumes the Configuration page accepts, so that it opens without a message.
    m_fake->configuration = {5.0F, 25, 0.0F, nullptr, 1.5F, 1, 1, 0, 1, 0, 7, 8};
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        ASSERT_TRUE(sheet.SetActivePage(i));
        EXPECT_EQ(AccessibilityProblems(&sheet), QStringList()) << i;
    }
}

// The pages' template is 275 x 274 dialog units; a sheet of pages without controls yet must
// not collapse to its tabs and buttons.
TEST_F(DiagnosticSheets, PageAreaHoldsTheWholeTemplate) {
    CDiagnosticSheet service(QStringLiteral("Service Diagnostics"));
    CUserConfig user(QStringLiteral("User Diagnostics"));
    for (CPropertySheet* sheet :
         {static_cast<CPropertySheet*>(&service), static_cast<CPropertySheet*>(&user)}) {
        sheet->show();
        // A dialog unit is a quarter of the average letter across and an eighth of a line down.
        const QFontMetrics metrics = sheet->fontMetrics();
        const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const QSize expected(qRound(275 * metrics.horizontalAdvance(letters) / 52.0 / 4.0),
                             qRound(274 * metrics.height() / 8.0));
        EXPECT_EQ(sheet->PageAreaMinimumSize(), expected);
        const CPropertyPage* page = sheet->GetActivePage();
        ASSERT_NE(page, nullptr);
        EXPECT_GE(page->width(), expected.width());
        EXPECT_GE(page->height(), expected.height());
        // The sheet opens at the size it asks for, as far as Qt lets a new window take of the
        // screen (two thirds), not at the size of a window without controls.
        const QSize screen = sheet->screen()->availableGeometry().size() * 2 / 3;
        EXPECT_EQ(sheet->size(), sheet->sizeHint().boundedTo(screen));
        sheet->hide();
    }
}

// Given less room than its pages need, the sheet takes it: the pages scroll, the tabs and the
// buttons stay in view, and Tab still brings every control on the page into view.
TEST_F(DiagnosticSheets, TakesASmallSizeWithThePagesScrollingAndTheButtonsInView) {
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    const QSize small = (sheet.sizeHint() / 2).expandedTo(sheet.minimumSizeHint());
    sheet.resize(small);
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet.size(), small);
    EXPECT_TRUE(ScrollsBothWays(&sheet));
    for (const QString& button : {QStringLiteral("OK"), QStringLiteral("Cancel")}) {
        const QWidget* shown = sheet.Button(button);
        EXPECT_TRUE(sheet.rect().contains(QRect(shown->mapTo(&sheet, QPoint()), shown->size())))
            << button.toStdString();
    }
    EXPECT_EQ(ControlsTabLeavesOutOfView(&sheet), QStringList());
    ClickTab(sheet, Tabs(sheet).constLast());
    EXPECT_EQ(sheet.GetActiveIndex(), sheet.GetPageCount() - 1) << "the last tab is in reach";
}

TEST_F(DiagnosticSheets, MonitorSwitchesOnlyWhenItsStateChanges) {
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    EXPECT_TRUE(MonitorCalls().empty()) << "the first tab keeps an off monitor off";
    ClickTab(sheet, QStringLiteral("AutoSampler Service"));
    EXPECT_EQ(MonitorCalls(), (std::vector<std::string>{"SetAutoSamplerMonitor(250896)"}));
    ClickTab(sheet, QStringLiteral("AutoSampler Sensors"));
    ClickTab(sheet, QStringLiteral("AutoSampler Service"));
    ClickTab(sheet, QStringLiteral("AutoSampler Sensors"));
    EXPECT_EQ(MonitorCalls().size(), 1U) << "service and sensors share the on state";
    ClickTab(sheet, QStringLiteral("Usage"));
    EXPECT_EQ(MonitorCalls(), (std::vector<std::string>{"SetAutoSamplerMonitor(250896)",
                                                        "SetAutoSamplerMonitor(0)"}));
    EXPECT_FALSE(g_state.autoSamplerMonitor);
}

TEST_F(DiagnosticSheets, AMonitorLeftOnIsSwitchedOffByTheNextSheetOnce) {
    {
        CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
        sheet.show();
        ClickTab(sheet, QStringLiteral("AutoSampler Sensors"));
        sheet.PressButton(QStringLiteral("Cancel"));
    }
    EXPECT_TRUE(g_state.autoSamplerMonitor) << "closing a sheet changes nothing";
    m_fake->calls.clear();
    {
        CUserConfig sheet(QStringLiteral("User Diagnostics"));
        sheet.show();
        EXPECT_EQ(MonitorCalls(), (std::vector<std::string>{"SetAutoSamplerMonitor(0)"}));
        sheet.PressButton(QStringLiteral("OK"));
    }
    m_fake->calls.clear();
    {
        CUserConfig sheet(QStringLiteral("User Diagnostics"));
        sheet.show();
        ClickTab(sheet, QStringLiteral("I/O"));
        sheet.PressButton(QStringLiteral("Cancel"));
    }
    EXPECT_TRUE(MonitorCalls().empty());
}

TEST_F(DiagnosticSheets, AFailedMonitorCallStillRecordsTheState) {
    m_fake->SetResult("SetAutoSamplerMonitor", E_FAIL);
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    ClickTab(sheet, QStringLiteral("AutoSampler Service"));
    EXPECT_TRUE(g_state.autoSamplerMonitor);
    ClickTab(sheet, QStringLiteral("AutoSampler Sensors"));
    EXPECT_EQ(MonitorCalls().size(), 1U);
}

TEST_F(DiagnosticSheets, SensorsPageIsActiveOnlyWhileInFront) {
    CDiagnosticSheet sheet(QStringLiteral("Service Diagnostics"));
    sheet.show();
    auto* sensors = static_cast<CPageAutoSamplerSensors*>(sheet.GetPage(6));
    EXPECT_FALSE(sensors->IsActive());
    ClickTab(sheet, QStringLiteral("AutoSampler Sensors"));
    EXPECT_TRUE(sensors->IsActive());
    ClickTab(sheet, QStringLiteral("Valves"));
    EXPECT_FALSE(sensors->IsActive());
}

TEST_F(DiagnosticSheets, DoModalReturnsWhenTheSheetIsClosed) {
    CUserConfig sheet(QStringLiteral("User Diagnostics"));
    QTimer::singleShot(0, &sheet, [&] { sheet.PressButton(QStringLiteral("Cancel")); });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
}

} // namespace
