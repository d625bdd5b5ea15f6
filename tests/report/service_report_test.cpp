#include "accessibility_check.h"
#include "control_id.h"
#include "event_log.h"
#include "event_log_history.h"
#include "fake_instrument_server.h"
#include "history_recorder.h"
#include "history_writer.h"
#include "modal_answerer.h"
#include "process_state.h"
#include "report_document.h"
#include "report_file.h"
#include "report_job.h"
#include "resource.h"
#include "service_report.h"
#include "service_report_command.h"
#include "service_report_dlg.h"
#include "stored_history.h"
#include "string_table.h"
#include "trace_picture.h"
#include "ui.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <gtest/gtest.h>

#include <tuple>

namespace {

const QDateTime kNow = QDateTime(QDate(2026, 12, 9), QTime(8, 30), QTimeZone::utc());

QString ValueOf(const ReportSection& section, const QString& caption) {
    for (const ReportRow& row : section.rows) {
        if (row.caption == caption) {
            return row.value;
        }
    }
    return QStringLiteral("(no row)");
}

QStringList CaptionsOf(const ReportSection& section) {
    QStringList captions;
    for (const ReportRow& row : section.rows) {
        captions << row.caption;
    }
    return captions;
}

class ServiceReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProcessState();
        fake = CFakeInstrumentServer::Create();
        g_pServer = fake;
        fake->serialNumber = "OX2-7";
        fake->pumpVersion = u"3.05";
        fake->clientVersion = u"1.0.0";
        fake->autoSamplerVersion = 2.13F;
        fake->configuration.nSyringeSize = 100;
        fake->configuration.fSampleLoopVolume = 5.0F;
        fake->configuration.bPumpCInstalled = 1;
        fake->configuration.bTernaryGradient = 1;
        fake->outInts["GetAutoSamplerUsage"] = {41, 42, 43, 44, 45, 46, 47};
        fake->syringeUsage1 = {1, 2, 3, 4, 5, 65535};
        fake->syringeUsage2 = {11, 12, 13, 14, 15, 16};
        fake->status.nState = 3;
        fake->status.fPressure = 1234.4F;
        fake->status.bErrorsPending = 1;
        fake->firstError = "Pump A overpressure";
        m_previousBox = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
            boxes << request.text;
            return IDOK;
        });
        m_previousSave = SetSaveFileHandler([this](const SaveFileRequest& request) {
            saveRequests.push_back(request);
            return savePath;
        });
    }
    void TearDown() override {
        SetSaveFileHandler(m_previousSave);
        SetMessageBoxHandler(m_previousBox);
        g_pServer = nullptr;
        fake->Release();
    }

    CFakeInstrumentServer* fake = nullptr;
    QStringList boxes;
    std::vector<SaveFileRequest> saveRequests;
    QString savePath;
    QTemporaryDir dir;

private:
    MessageBoxHandler m_previousBox;
    SaveFileHandler m_previousSave;
};

TEST_F(ServiceReportTest, ReadsEveryFigureFromTheInstrumentAtReportTime) {
    CEventLog log;
    log.AddStatus(kNow.addSecs(-3600).toMSecsSinceEpoch(), 3, false, QString());
    log.AddStatus(kNow.addSecs(-60).toMSecsSinceEpoch(), 8, false, QString());
    const CEventLogHistory history(log);
    const ServiceReport report = ReadServiceReport({{}, &history, kNow.addSecs(-600), {}}, kNow);

    EXPECT_TRUE(report.InstrumentAnswered());
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("Serial Number")), QStringLiteral("OX2-7"));
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("Pump Version")), QStringLiteral("3.05"));
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("AutoSampler Version")),
              QStringLiteral("2.13"));
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("Report Time")),
              QStringLiteral("2026-12-09 08:30:00 UTC"));
    EXPECT_EQ(ValueOf(report.configuration, QStringLiteral("Syringe Size")),
              QStringLiteral("100 \u00B5L"));
    EXPECT_EQ(ValueOf(report.configuration, QStringLiteral("Gradient")),
              QStringLiteral("Ternary Gradient"));
    EXPECT_EQ(ValueOf(report.usage, QStringLiteral("Injector Valve")), QStringLiteral("41"));
    EXPECT_EQ(ValueOf(report.usage, QStringLiteral("Power On Time")), QStringLiteral("46 Hours"));
    EXPECT_EQ(report.syringeUsage.rows.at(5),
              (QStringList{QStringLiteral("6"), QStringLiteral("16"), QStringLiteral("65535")}));
    EXPECT_EQ(ValueOf(report.status, QStringLiteral("Pressure")), QStringLiteral("1234 PSI"));
    EXPECT_EQ(ValueOf(report.status, QStringLiteral("State")), QStringLiteral("Idle"));
    EXPECT_EQ(ValueOf(report.status, QStringLiteral("Errors")),
              QStringLiteral("Pump A overpressure"));
    // Pump C in the gradient: composition line C, no auxiliary rows, as on the status form.
    EXPECT_TRUE(CaptionsOf(report.status).contains(QStringLiteral("Composition C")));
    EXPECT_FALSE(CaptionsOf(report.status).contains(QStringLiteral("Aux Pressure")));
    // Only the entries since the chosen time.
    ASSERT_EQ(report.history.size(), 1U);
    EXPECT_EQ(report.history[0].text, QStringLiteral("State: Priming"));
    EXPECT_EQ(report.history[0].utc, kNow.addSecs(-60));
    EXPECT_EQ(fake->calls,
              (std::vector<std::string>{"GetVersions()", "GetInstrumentConfiguration()",
                                        "GetSyringeUsage(6, 6)", "GetAutoSamplerUsage()",
                                        "ReadStatus()", "ReadAllErrors(1)"}));
}

// Nothing the instrument did not say now is passed off as a reading: what it left in its
// out-values is never shown.
TEST_F(ServiceReportTest, AReadWithoutAnswerShowsADashAndTheReportSaysSo) {
    for (const char* operation :
         {"GetVersions", "GetSyringeUsage", "GetAutoSamplerUsage", "ReadStatus"}) {
        fake->SetResult(operation, E_FAIL);
    }
    const ServiceReport report = ReadServiceReport({}, kNow);

    EXPECT_FALSE(report.InstrumentAnswered());
    EXPECT_FALSE(report.instrument.answered);
    EXPECT_TRUE(report.configuration.answered);
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("Serial Number")), QStringLiteral("OX2-7"));
    EXPECT_EQ(ValueOf(report.instrument, QStringLiteral("Pump Version")), QStringLiteral("-"));
    EXPECT_EQ(ValueOf(report.usage, QStringLiteral("Power On Time")), QStringLiteral("-"));
    EXPECT_EQ(report.syringeUsage.rows.at(0).at(1), QStringLiteral("-"));
    EXPECT_EQ(ValueOf(report.status, QStringLiteral("Pressure")), QStringLiteral("-"));
    EXPECT_EQ(ValueOf(report.status, QStringLiteral("Errors")), QStringLiteral("-"));
    const QString html = ServiceReportHtml(report);
    EXPECT_TRUE(html.contains(LoadString(IDS_REPORT_NOT_ANSWERED).toHtmlEscaped()));
    EXPECT_FALSE(html.contains(QStringLiteral("1234")));
}

TEST_F(ServiceReportTest, TheDocumentShowsTheInstrumentsTextsAsText) {
    fake->serialNumber = "<b>OX2</b> & co";
    ServiceReport report = ReadServiceReport({}, kNow);
    report.history.push_back({kNow, QStringLiteral("Repair"), QStringLiteral("<i>eve</i>"),
                              QStringLiteral("bench"), QStringLiteral("OX2"),
                              QStringLiteral("<img src=x>")});
    const auto document = ServiceReportDocument(report);
    const QString text = document->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("<b>OX2</b> & co")));
    EXPECT_TRUE(text.contains(QStringLiteral("<i>eve</i>")));
    EXPECT_TRUE(text.contains(QStringLiteral("<img src=x>")));
}

TEST_F(ServiceReportTest, TheTraceCoversTheTenMinutesBeforeTheReport) {
    const auto at = [](int secondsBefore) {
        return TraceSample{kNow.addSecs(-secondsBefore).toMSecsSinceEpoch(), 900.0F, 0.0F, 5.0F};
    };
    const std::vector<TraceSample> shown =
        TraceWindow({at(601), at(600), at(300), at(0), at(-1)}, kNow);
    ASSERT_EQ(shown.size(), 3U);
    EXPECT_EQ(shown.front().msecsSinceEpoch, at(600).msecsSinceEpoch);
    EXPECT_EQ(shown.back().msecsSinceEpoch, kNow.toMSecsSinceEpoch());
    EXPECT_EQ(NiceCeiling(915.0), 1000.0);
    EXPECT_EQ(NiceCeiling(0.3), 0.5);
}

// The File menu command: the history's start, the file, then the instrument is read.
TEST_F(ServiceReportTest, TheCommandAsksThenReadsAndWrites) {
    QMainWindow frame;
    CEventLog log;
    log.AddStatus(kNow.addSecs(-7200).toMSecsSinceEpoch(), 3, false, QString());
    const std::vector<TraceSample> samples{{kNow.addSecs(-30).toMSecsSinceEpoch(), 915, 0, 5}};
    CServiceReportCommand command(
        &frame, [&samples] { return samples; }, std::make_unique<CEventLogHistory>(log),
        [] { return kNow; });
    savePath = dir.filePath(QStringLiteral("visit.pdf"));
    ModalAnswerer answerer({[](QWidget* modal) {
        auto* dlg = static_cast<CServiceReportDlg*>(modal);
        EXPECT_FALSE(dlg->TimeEdit()->isEnabled());
        dlg->FromTimeRadio()->click();
        EXPECT_TRUE(dlg->TimeEdit()->isEnabled());
        dlg->TimeEdit()->setDateTime(kNow.addSecs(-3 * 3600).toLocalTime());
        ModalAnswerer::Accept(modal);
    }});
    fake->calls.clear();

    EXPECT_TRUE(command.HasCommand(ID_FILE_SERVICE_REPORT));
    command.OnCommand(ID_FILE_SERVICE_REPORT);

    EXPECT_EQ(answerer.Seen(), QStringList{QStringLiteral("Service Report")});
    ASSERT_EQ(saveRequests.size(), 1U);
    EXPECT_EQ(saveRequests[0].filter, QStringLiteral("PDF Files (*.pdf)"));
    EXPECT_TRUE(saveRequests[0].suggestedName.endsWith(QStringLiteral(".pdf")));
    QFile written(savePath);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    EXPECT_EQ(frame.statusBar()->currentMessage(),
              QStringLiteral("Service report written to %1").arg(savePath));
    EXPECT_FALSE(fake->CallsTo("ReadStatus").empty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(ServiceReportTest, CancelReadsAndWritesNothing) {
    QMainWindow frame;
    CServiceReportCommand command(&frame, {}, nullptr, [] { return kNow; });
    fake->calls.clear();
    {
        ModalAnswerer answerer({ModalAnswerer::Reject});
        EXPECT_FALSE(command.OnServiceReport());
    }
    EXPECT_TRUE(saveRequests.empty());
    {
        ModalAnswerer answerer({ModalAnswerer::Accept});
        savePath.clear(); // the Save As chooser cancelled
        EXPECT_FALSE(command.OnServiceReport());
    }
    EXPECT_EQ(saveRequests.size(), 1U);
    EXPECT_TRUE(fake->calls.empty());
}

// Even for root, nothing can be written below a plain file; and nothing half-written stays.
TEST_F(ServiceReportTest, AnUnwritablePathIsReportedAndLeavesNoFile) {
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QMainWindow frame;
    CServiceReportCommand command(&frame, {}, nullptr, [] { return kNow; });
    savePath = dir.filePath(QStringLiteral("plain/report.pdf"));
    ModalAnswerer answerer({ModalAnswerer::Accept});

    EXPECT_FALSE(command.OnServiceReport());

    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Cannot write %1: ").arg(savePath)))
        << boxes[0].toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("plain")});
}

const ServiceVisit kVisit{
    QStringLiteral("Ann Engineer"),
    QStringLiteral("Acme <Labs>"),
    QStringLiteral("Building 4"),
    QStringLiteral("WO-7781"),
    QStringLiteral("Pump A overpressure\nleaking seal"),
    QStringLiteral("Replaced the seal"),
    {{QStringLiteral("SEAL-100"), QStringLiteral("S-1"), QStringLiteral("S-2")}},
    QDate(2027, 6, 9)};

ServiceHistoryEntry EntryAt(int seconds, const QString& text) {
    return {kNow.addSecs(seconds),   QStringLiteral("State"), QStringLiteral("eve"),
            QStringLiteral("bench"), QStringLiteral("OX2"),   text};
}

TEST(CondensedHistory, ShowsARepeatOrAFlappingCycleOnceWithItsCount) {
    std::vector<ServiceHistoryEntry> entries;
    for (int i = 0; i < 6; ++i) {
        entries.push_back(
            EntryAt(i, i % 2 == 0 ? QStringLiteral("Idle") : QStringLiteral("Error")));
    }
    entries.push_back(EntryAt(6, QStringLiteral("Idle")));
    for (int i = 7; i < 44; ++i) {
        entries.push_back(EntryAt(i, QStringLiteral("Polling error")));
    }
    entries.push_back(EntryAt(44, QStringLiteral("Idle")));
    const std::vector<ServiceHistoryEntry> condensed = CondensedHistory(entries);
    QStringList texts;
    for (const ServiceHistoryEntry& entry : condensed) {
        texts << entry.text;
    }
    EXPECT_EQ(
        texts,
        (QStringList{QStringLiteral("Idle (repeated 3 times)"),
                     QStringLiteral("Error (repeated 3 times)"), QStringLiteral("Idle"),
                     QStringLiteral("Polling error (repeated 37 times)"), QStringLiteral("Idle")}));
    EXPECT_EQ(condensed[3].utc, kNow.addSecs(7)) << "the first of the repeats";
}

TEST_F(ServiceReportTest, TheDocumentNamesTheVisitAndHasLinesToSign) {
    ServiceReport report = ReadServiceReport({{}, nullptr, kNow, kVisit}, kNow);
    const QString text = ServiceReportDocument(report)->toPlainText();
    for (const QString& expected :
         {QStringLiteral("Acme <Labs>"), QStringLiteral("Building 4"), QStringLiteral("WO-7781"),
          QStringLiteral("leaking seal"), QStringLiteral("Replaced the seal"),
          QStringLiteral("SEAL-100"), QStringLiteral("S-2"), QStringLiteral("2027-06-09"),
          QStringLiteral("Engineer: Ann Engineer"), QStringLiteral("Customer: Acme <Labs>"),
          QStringLiteral("Signature, name and date")}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    }
    report.history.push_back(EntryAt(0, VisitHistoryText(kVisit)));
    EXPECT_TRUE(ServiceReportDocument(report)->toPlainText().contains(
        QStringLiteral("Pump A overpressure leaking seal; work done")))
        << "one row, its line break a blank";
    EXPECT_EQ(VisitHistoryText(kVisit),
              QStringLiteral("Service visit: engineer Ann Engineer, customer Acme <Labs>, site "
                             "Building 4, work order WO-7781; as found: Pump A overpressure\n"
                             "leaking seal; work done: Replaced the seal; parts replaced: "
                             "SEAL-100 (old serial S-1, new serial S-2); next service due: "
                             "2027-06-09"));
    EXPECT_EQ(ParseReplacedPart(QStringLiteral(" P-1 , A ,B")).value().oldSerial, u"A");
    EXPECT_FALSE(ParseReplacedPart(QStringLiteral("P-1,A")));
    EXPECT_FALSE(ParseReplacedPart(QStringLiteral(",A,B")));
}

TEST_F(ServiceReportTest, TheTracePictureSpansItsReadings) {
    const auto at = [](int seconds) {
        return TraceSample{kNow.addSecs(seconds).toMSecsSinceEpoch(), 900.0F, 0.0F, 5.0F};
    };
    TraceSpan span = TraceSpanOf({at(-150), at(-20)});
    EXPECT_EQ(span.fromUtc, kNow.addSecs(-150));
    EXPECT_EQ(span.toUtc, kNow.addSecs(-20));
    span = TraceSpanOf({at(-20)});
    EXPECT_EQ(span.fromUtc, kNow.addSecs(-80)) << "a minute at least";
}

// The visit goes into the history as one entry; who and where come back at the next visit.
TEST_F(ServiceReportTest, TheCommandRecordsTheVisitAndRemembersWhoAndWhere) {
    QTemporaryDir home;
    CHistoryRecorder recorder(std::make_unique<CHistoryWriter>(
        home.filePath(QStringLiteral("history.sqlite")), HistoryWriterOptions{}));
    SetServiceHistory(&recorder);
    QMainWindow frame;
    CServiceReportCommand command(&frame, {}, std::make_unique<CStoredHistory>(recorder.Writer()),
                                  [] { return kNow; });
    savePath = dir.filePath(QStringLiteral("visit.pdf"));
    ModalAnswerer answerer(
        {[](QWidget* modal) {
             auto* dlg = static_cast<CServiceReportDlg*>(modal);
             dlg->EngineerEdit()->setText(kVisit.engineer);
             FindControl<QLineEdit>(dlg, IDC_REPORT_CUSTOMER)->setText(kVisit.customer);
             FindControl<QLineEdit>(dlg, IDC_REPORT_SITE)->setText(kVisit.site);
             FindControl<QLineEdit>(dlg, IDC_REPORT_WORK_ORDER)->setText(kVisit.workOrder);
             FindControl<QPlainTextEdit>(dlg, IDC_REPORT_AS_FOUND)->setPlainText(kVisit.asFound);
             FindControl<QPlainTextEdit>(dlg, IDC_REPORT_WORK_DONE)->setPlainText(kVisit.workDone);
             QTableWidget* parts = dlg->PartsTable();
             ASSERT_EQ(parts->rowCount(), 1);
             parts->setItem(0, 0, new QTableWidgetItem(QStringLiteral("SEAL-100")));
             EXPECT_EQ(parts->rowCount(), 2) << "a new empty row for the next part";
             parts->setItem(0, 1, new QTableWidgetItem(QStringLiteral("S-1")));
             parts->setItem(0, 2, new QTableWidgetItem(QStringLiteral("S-2")));
             EXPECT_FALSE(dlg->NextServiceEdit()->isEnabled());
             dlg->NextServiceCheck()->click();
             dlg->NextServiceEdit()->setDate(kVisit.nextServiceDue);
             ModalAnswerer::Accept(modal);
         },
         [](QWidget* modal) {
             auto* dlg = static_cast<CServiceReportDlg*>(modal);
             const ServiceVisit visit = dlg->Visit();
             EXPECT_EQ(visit.engineer, kVisit.engineer);
             EXPECT_EQ(visit.customer, kVisit.customer);
             EXPECT_EQ(visit.site, kVisit.site);
             EXPECT_TRUE(visit.workOrder.isEmpty()) << "one visit's own";
             EXPECT_TRUE(visit.parts.empty());
             ModalAnswerer::Reject(modal);
         }});

    EXPECT_TRUE(command.OnServiceReport());
    EXPECT_FALSE(command.OnServiceReport());

    SetServiceHistory(nullptr);
    EXPECT_TRUE(answerer.Finished());
    const std::vector<ServiceHistoryEntry> entries =
        CStoredHistory(recorder.Writer()).EntriesSince(QDateTime::fromMSecsSinceEpoch(0));
    ASSERT_EQ(entries.size(), 1U);
    EXPECT_EQ(entries[0].text, VisitHistoryText(kVisit));
    EXPECT_TRUE(QFile::exists(savePath));
}

// The work runs on a thread of its own; the progress dialog's Cancel reaches it, and a
// cancelled report writes nothing.
constexpr int kCancelWaitMs = 10'000;

TEST_F(ServiceReportTest, ACancelledReportIsNotWritten) {
    QMainWindow frame;
    const ServiceReport report = ReadServiceReport({}, kNow);
    const QString path = dir.filePath(QStringLiteral("cancelled.pdf"));
    ReportProgress progress;
    QThread* worker = nullptr;
    QTimer::singleShot(0, &frame, [&frame] {
        frame.findChild<QProgressDialog*>()->findChild<QPushButton*>()->click();
    });
    const ReportResult result = RunReportJob(&frame, progress, [&] {
        worker = QThread::currentThread();
        // Bounded, so that a Cancel that never comes fails the test rather than hanging it.
        QDeadlineTimer deadline(kCancelWaitMs);
        while (!progress.cancelled && !deadline.hasExpired()) {
            QThread::yieldCurrentThread();
        }
        return WriteReportFile(report, path, &progress);
    });
    EXPECT_NE(worker, QThread::currentThread());
    EXPECT_EQ(result.outcome, ReportOutcome::Cancelled);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ServiceReportTest, TheDialogKeepsTheAccessibilityContract) {
    CServiceReportDlg dlg(kNow.addSecs(-3600), kNow);
    dlg.show();
    EXPECT_EQ(AccessibilityProblems(&dlg), QStringList());
    EXPECT_EQ(dlg.HistorySince(), kNow.addSecs(-3600));
    // From the keyboard: Space on the second choice enables its time.
    QTest::keyClick(dlg.FromTimeRadio(), Qt::Key_Space);
    EXPECT_TRUE(dlg.FromTimeRadio()->isChecked());
    EXPECT_TRUE(dlg.TimeEdit()->isEnabled());
}

} // namespace

// The report's history is the history file's, with what the writer still held, oldest first.
TEST(StoredHistory, ReadsWhatWasRecordedSinceTheTimeOldestFirst) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    CHistoryWriter writer(home.filePath(QStringLiteral("history.sqlite")), {});
    const std::int64_t since = kNow.toMSecsSinceEpoch();
    for (const auto& [whenMs, kind, text] :
         {std::tuple{since - 1, HistoryKind::Action, QStringLiteral("before the visit")},
          std::tuple{since, HistoryKind::Action, QStringLiteral("Change Flow: accepted")},
          std::tuple{since + 1, HistoryKind::Error, QStringLiteral("Pump A overpressure")}}) {
        writer.Append({0, whenMs, kind, QStringLiteral("engineer"), QStringLiteral("lab-pc"),
                       QStringLiteral("OX2-1"), text});
    }
    const std::vector<ServiceHistoryEntry> entries = CStoredHistory(&writer).EntriesSince(kNow);
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[0].utc, kNow);
    EXPECT_EQ(entries[0].text, QStringLiteral("Change Flow: accepted"));
    EXPECT_EQ(entries[1].kind, HistoryKindText(HistoryKind::Error));
    EXPECT_EQ(entries[1].serial, QStringLiteral("OX2-1"));
}
