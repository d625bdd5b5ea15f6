#include "accessibility_check.h"
#include "app_test_support.h"
#include "event_log_dock.h"
#include "fake_instrument_server.h"
#include "history_recorder.h"
#include "history_settings.h"
#include "instrument_proxy.h"
#include "main_frame.h"
#include "orvix_client_app.h"
#include "orvix_client_view.h"
#include "pressure_trace_dock.h"
#include "process_state.h"
#include "resource.h"
#include "trace_docks.h"
#include "trace_file.h"

#include <QAction>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The main window's parts as the template puts them together, on the recording fake.
class TraceDocks : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        fake = CFakeInstrumentServer::Create();
        g_pServer = fake;
        m_previousSave = SetSaveFileHandler([this](const SaveFileRequest& request) {
            saveRequests.push_back(request);
            return savePath;
        });
        m_previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
        ASSERT_TRUE(frame.Create());
        view = new COrvixClientView;
        frame.setCentralWidget(view);
        AddTraceDocks(&frame, view);
        trace = frame.findChild<CPressureTraceDock*>();
        log = frame.findChild<CEventLogDock*>();
        ASSERT_NE(trace, nullptr);
        ASSERT_NE(log, nullptr);
        view->OnInitialUpdate();
    }
    void TearDown() override {
        SetSaveFileHandler(m_previousSave);
        SetMessageBoxHandler(m_previousBox);
        g_pServer = nullptr;
        fake->Release();
        ResetProcessState();
    }

    CFakeInstrumentServer* fake = nullptr;
    CMainFrame frame;
    COrvixClientView* view = nullptr;
    CPressureTraceDock* trace = nullptr;
    CEventLogDock* log = nullptr;
    std::vector<SaveFileRequest> saveRequests;
    QString savePath;
    QStringList boxes;
    QTemporaryDir folder;

private:
    SaveFileHandler m_previousSave;
    MessageBoxHandler m_previousBox;
};

TEST_F(TraceDocks, FedOncePerGoodReadAndNeverOnAFailedOne) {
    QSignalSpy failures(view, &COrvixClientView::statusReadFailed);
    fake->status.nState = 3;
    fake->status.fPressure = 1500.0F;
    fake->SetResult("ReadStatus", RPC_E_DISCONNECTED);
    view->OnTimer();
    EXPECT_EQ(trace->Trace().Samples().Size(), 0U);
    EXPECT_EQ(log->Log().rowCount(), 0);
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][0].value<HRESULT>(), RPC_E_DISCONNECTED);

    fake->SetResult("ReadStatus", S_OK);
    view->OnTimer();
    view->OnTimer();
    EXPECT_EQ(trace->Trace().Samples().Size(), 2U);
    EXPECT_EQ(trace->Trace().Samples().Newest().pressure, 1500.0F);
    EXPECT_EQ(fake->CallsTo("ReadStatus").size(), 3U) << "no extra server calls";
    EXPECT_EQ(log->Log().rowCount(), 1) << "Idle, once";
}

TEST_F(TraceDocks, LogShowsARaisedErrorAndTheResetThatClearsIt) {
    fake->status.nState = 3;
    view->OnTimer();
    fake->status.nState = 10;
    fake->status.bErrorsPending = 1;
    fake->firstError = "Pump A overpressure";
    view->OnTimer();
    view->OnTimer();
    view->OnResetCommunications();
    fake->status.nState = 2;
    fake->status.bErrorsPending = 0;
    view->OnTimer();
    QStringList texts;
    for (std::size_t i = 0; i < log->Log().Entries().Size(); ++i) {
        texts << log->Log().Entries()[i].text;
    }
    EXPECT_EQ(texts, (QStringList{"State: Idle", "State: Error", "Error: Pump A overpressure",
                                  "State: Initializing"}));
}

TEST_F(TraceDocks, LogShowsTheServerGoingAway) {
    auto* proxy = new CInstrumentServerProxy([](const QDBusMessage& call) {
        return call.createErrorReply(QDBusError::ServiceUnknown, QString());
    });
    g_pServer = proxy;
    view->OnTimer();
    view->OnTimer();
    g_pServer = fake;
    proxy->Release();
    ASSERT_EQ(log->Log().Entries().Size(), 1U);
    EXPECT_EQ(log->Log().Entries()[0].text, QStringLiteral("Instrument server gone"));
}

TEST_F(TraceDocks, ChartShowsTheLastTenMinutesAndCatchesUpWhenShown) {
    std::int64_t now = QDateTime(QDate(2026, 12, 8), QTime(9, 0, 0)).toMSecsSinceEpoch();
    CPressureTraceDock dock(std::chrono::milliseconds(2000), nullptr, [&now] { return now; });
    InstrumentStatus status{};
    auto feed = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            status.fPressure = 1000.0F + static_cast<float>(i);
            status.fAuxPressure = 200.0F;
            status.fFlowRate = 4.0F;
            dock.OnStatusRead(status);
            now += 2000;
        }
    };
    feed(10);
    EXPECT_EQ(dock.PressureSeries()->count(), 0) << "a hidden dock leaves its chart alone";
    dock.show();
    EXPECT_EQ(dock.PressureSeries()->count(), 10);
    EXPECT_EQ(dock.TimeAxis()->min().secsTo(dock.TimeAxis()->max()), 60) << "a minute at least";
    feed(400);
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.TimeAxis()->min().secsTo(dock.TimeAxis()->max()), 600);
    EXPECT_EQ(dock.PressureSeries()->count(), 301);
    EXPECT_EQ(dock.FlowRateSeries()->count(), 301);
    EXPECT_EQ(dock.PressureSeries()->at(300).y(), 1399.0);
    EXPECT_EQ(dock.ChartView()->accessibleDescription(),
              QStringLiteral("1399 PSI, aux 200 PSI, 4.00 \u00B5L/min"));
}

TEST_F(TraceDocks, TheWindowWithBothDocksKeepsTheAccessibilityContract) {
    fake->status.nState = 3;
    view->OnTimer();
    frame.show();
    trace->show();
    log->show();
    EXPECT_EQ(AccessibilityProblems(&frame), QStringList());
}

TEST_F(TraceDocks, ExportsTheTraceAsCsvAndTheLogAsText) {
    fake->status.nState = 3;
    fake->status.fPressure = 812.0F;
    view->OnTimer();

    QTest::mouseClick(trace->ExportButton(), Qt::LeftButton);
    ASSERT_EQ(saveRequests.size(), 1U) << "cancelled: nothing written";
    EXPECT_EQ(saveRequests[0].suggestedName, QStringLiteral("pressure-trace.csv"));
    EXPECT_EQ(saveRequests[0].filter, QStringLiteral("CSV files (*.csv)"));

    savePath = folder.filePath(QStringLiteral("trace.csv"));
    QTest::mouseClick(trace->ExportButton(), Qt::LeftButton);
    const QStringList lines = ReadFile(savePath).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << "header, one sample, end";
    EXPECT_EQ(
        lines[0],
        QStringLiteral("Time,System Pressure (PSI),Aux Pressure (PSI),Flow Rate (\u00B5L/min)"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",812.0,0.0,0.000")));

    savePath = folder.filePath(QStringLiteral("log.txt"));
    QTest::mouseClick(log->ExportButton(), Qt::LeftButton);
    EXPECT_EQ(ReadFile(savePath), log->Log().Text());
    EXPECT_TRUE(ReadFile(savePath).endsWith(QStringLiteral("  State: Idle\n")));

    savePath = folder.filePath(QStringLiteral("no-such-folder/log.txt"));
    QTest::mouseClick(log->ExportButton(), Qt::LeftButton);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Cannot write ") + savePath));
}

using TraceDocksInMainWindow = AppFixture;

QStringList ViewMenuEntries(CMainFrame* frame) {
    QStringList entries;
    for (QAction* menu : frame->menuBar()->actions()) {
        if (menu->text() != QStringLiteral("&View")) {
            continue;
        }
        for (QAction* action : menu->menu()->actions()) {
            entries << (action->isSeparator() ? QStringLiteral("-")
                        : action->isChecked() ? action->text() + u'*'
                                              : action->text());
        }
    }
    return entries;
}

TEST_F(TraceDocksInMainWindow, ViewMenuTogglesAreOffByDefaultAndRemembered) {
    RegisterFakeServer();
    {
        COrvixClientApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("orvix-client")}));
        CMainFrame* frame = app.MainWindow();
        EXPECT_EQ(ViewMenuEntries(frame),
                  (QStringList{"&Toolbar*", "&Status Bar*", "-", "Pressure Trace", "Event Log"}));
        auto* trace = frame->findChild<CPressureTraceDock*>();
        EXPECT_FALSE(trace->isVisible());
        trace->toggleViewAction()->trigger();
        EXPECT_TRUE(trace->isVisible());
        auto* log = frame->findChild<CEventLogDock*>();
        log->toggleViewAction()->trigger();
        log->close();
        frame->close();
        app.ExitInstance();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("orvix-client")}));
    CMainFrame* frame = app.MainWindow();
    EXPECT_TRUE(frame->findChild<CPressureTraceDock*>()->isVisible());
    EXPECT_FALSE(frame->findChild<CEventLogDock*>()->isVisible());
    frame->close();
    app.ExitInstance();
}

TEST_F(TraceDocksInMainWindow, TheStatusBarSaysSoWhileTheHistoryIsNotKept) {
    RegisterFakeServer();
    QTemporaryDir state;
    const QByteArray savedState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    // A file where the history's folder should be.
    QFile blocker(state.filePath(QStringLiteral("orvix")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    {
        COrvixClientApp app;
        ASSERT_TRUE(app.InitInstance({QStringLiteral("orvix-client")}));
        auto* pane = app.MainWindow()->findChild<QLabel*>(QStringLiteral("historyPane"));
        ASSERT_NE(pane, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([pane] { return !pane->isHidden(); }));
        EXPECT_TRUE(pane->text().startsWith(QStringLiteral("The service history is not being "
                                                           "kept: ")));
        EXPECT_EQ(pane->accessibleName(), pane->text());

        ASSERT_TRUE(blocker.remove());
        NoteServiceAction(QStringLiteral("the folder can be made again"));
        EXPECT_TRUE(QTest::qWaitFor([pane] { return pane->isHidden(); }));
        app.MainWindow()->close();
        app.ExitInstance();
    }
    qputenv("XDG_STATE_HOME", savedState);
}

// For a report made by another process: every good read rewrites the trace beside the history.
TEST_F(TraceDocksInMainWindow, TheWindowKeepsItsTraceBesideTheHistory) {
    RegisterFakeServer();
    fake->status.fPressure = 915.0F;
    COrvixClientApp app;
    ASSERT_TRUE(app.InitInstance({QStringLiteral("orvix-client")}));
    auto* view = app.MainWindow()->findChild<COrvixClientView*>();
    const QString path = TraceFilePath(HistoryFilePath());
    // The history's writer makes the folder on its own thread.
    EXPECT_TRUE(QTest::qWaitFor([view, &path] {
        view->OnTimer();
        return !LoadTraceFile(path).empty();
    }));
    const std::vector<TraceSample> kept = LoadTraceFile(path);
    EXPECT_EQ(kept.back().pressure, 915.0F);
    EXPECT_EQ(kept.size(),
              app.MainWindow()->findChild<CPressureTraceDock*>()->Trace().Shown().size());
    app.MainWindow()->close();
    app.ExitInstance();
}

} // namespace
