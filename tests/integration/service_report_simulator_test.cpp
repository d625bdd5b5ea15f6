#include "event_log.h"
#include "event_log_history.h"
#include "history_settings.h"
#include "instrument_bus.h"
#include "private_files.h"
#include "record_memory.h"
#include "report_file.h"
#include "simulator_session.h"
#include "state_text.h"
#include "status_texts.h"
#include "trace_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

#include <gtest/gtest.h>

namespace {

constexpr qulonglong kTwoHoursMs = 2ULL * 3600 * 1000;
constexpr int kToolTimeoutMs = 60'000;

// A poppler tool's standard output; empty when it failed.
QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(kToolTimeoutMs) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ": " << tool.readAllStandardError().toStdString();
        return {};
    }
    return tool.readAllStandardOutput();
}

int PageCount(const QString& pdf) {
    for (const QByteArray& line : RunTool(QStringLiteral("pdfinfo"), {pdf}).split('\n')) {
        if (line.startsWith("Pages:")) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return 0;
}

class ServiceReportSimulatorTest : public SimulatorSessionTest {
protected:
    QTemporaryDir m_dir;
};

// What the customer keeps, read back as a person would read it: its text and its pages.
TEST_F(ServiceReportSimulatorTest, TheReportHoldsWhatTheInstrumentSaysAndItsPagesRender) {
    StepClock(kTwoHoursMs);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    CEventLog log;
    std::vector<TraceSample> trace;
    InstrumentStatus* pStatus = nullptr;
    ASSERT_TRUE(SUCCEEDED(g_pServer->ReadStatus(&pStatus)));
    const QString state = QString::fromLatin1(StateText(pStatus->nState));
    log.AddStatus(now.toMSecsSinceEpoch(), pStatus->nState, false, QString());
    for (int i = 0; i < 10; ++i) {
        trace.push_back(SampleOf(*pStatus, now.addSecs(-60 * i).toMSecsSinceEpoch()));
    }
    ReleaseInstrumentStatus(pStatus);
    std::reverse(trace.begin(), trace.end());
    const CEventLogHistory history(log);
    const QString pdf = m_dir.filePath(QStringLiteral("service report.pdf"));

    const ReportResult result =
        MakeServiceReport(pdf, {[&trace] { return trace; }, &history, now.addSecs(-60), {}}, now);

    ASSERT_EQ(result.outcome, ReportOutcome::Written) << result.message.toStdString();
    const QString text =
        QString::fromUtf8(RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    for (const QString& expected :
         {QStringLiteral("OX2-0421-17"), QStringLiteral("3.05"), QStringLiteral("2.13"),
          QStringLiteral("Orvix Client Version"), QStringLiteral("1.0.0"),
          QStringLiteral("2 Hours"), QStringLiteral("State: ") + state}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n"
                                             << text.toStdString();
    }
    const int pages = PageCount(pdf);
    EXPECT_GE(pages, 2);
    RunTool(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("30"), pdf,
             m_dir.filePath(QStringLiteral("page"))});
    const QStringList rendered =
        QDir(m_dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files);
    EXPECT_EQ(rendered.size(), pages);
}

QString PdfText(const QString& pdf) {
    return QString::fromUtf8(RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
}

struct InstrumentNow {
    std::int32_t state = 0;
    float flowRate = 0;
    std::optional<QString> error;
};

InstrumentNow ReadInstrumentNow() {
    InstrumentNow now;
    InstrumentStatus* pStatus = nullptr;
    EXPECT_EQ(g_pServer->ReadStatus(&pStatus), S_OK);
    if (pStatus != nullptr) {
        now.state = pStatus->nState;
        now.flowRate = pStatus->fFlowRate;
    }
    ReleaseInstrumentStatus(pStatus);
    now.error = ReadFirstError().text;
    return now;
}

// A report, a second client's connection or a reconnect only reads: the instrument keeps its
// error, its state and its flow.
TEST_F(ServiceReportSimulatorTest, AReportAndAReconnectLeaveTheInstrumentAsItWas) {
    StepClock(kTwoHoursMs);
    ASSERT_EQ(g_pServer->ChangeFlow(12.5F, 60.0F, 40.0F, 0.0F), S_OK);
    Simulator(QStringLiteral("RaiseError"), {QStringLiteral("Pump A overpressure")});
    const InstrumentNow before = ReadInstrumentNow();
    ASSERT_EQ(before.error, QStringLiteral("Pump A overpressure"));

    ASSERT_EQ(g_pServer->OpenConnection(kConnectArg1, kConnectArg2), S_OK);
    const QString pdf = m_dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_EQ(MakeServiceReport(pdf, {}, QDateTime::currentDateTimeUtc()).outcome,
              ReportOutcome::Written);
    StepClock(1000);

    const InstrumentNow after = ReadInstrumentNow();
    EXPECT_EQ(after.state, before.state);
    EXPECT_EQ(after.flowRate, before.flowRate);
    EXPECT_EQ(after.error, before.error);
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Pump A overpressure")));
}

// orvix-client --report, as a script runs it, on a bus of its own with the simulator.
class ReportCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        m_bus.AddSimulator(m_home, m_home.path());
    }

    // The client's exit code; its standard error in errors.
    int RunClient(const QString& pdf, QByteArray* errors, const QStringList& options = {}) {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.Address());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        client.setProcessEnvironment(env);
        client.start(BinaryPath(QStringLiteral("orvix-client")),
                     QStringList{QStringLiteral("--report"), pdf} + options);
        EXPECT_TRUE(client.waitForFinished(kToolTimeoutMs));
        *errors = client.readAllStandardError();
        return client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    }

    QTemporaryDir m_home;
    PrivateBus m_bus;
};

TEST_F(ReportCommandLineTest, WritesTheReportWithoutAWindowAndSaysWhenItCannot) {
    const QString pdf = m_home.filePath(QStringLiteral("report.pdf"));
    QByteArray errors;
    EXPECT_EQ(RunClient(pdf, &errors), 0) << errors.toStdString();
    EXPECT_TRUE(QString::fromUtf8(RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
                    .contains(QStringLiteral("OX2-0421-17")));

    const QString unwritable = pdf + QStringLiteral("/report.pdf");
    EXPECT_EQ(RunClient(unwritable, &errors), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("Cannot write %1: ").arg(unwritable).toUtf8()))
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(unwritable));
}

// The trace the window's client keeps beside the history, and the visit from the options, both
// in the report; the visit in the history too.
TEST_F(ReportCommandLineTest, ReportsTheWindowsTraceAndTheVisitItIsGiven) {
    QString error;
    const QString history = HistoryFilePath();
    ASSERT_TRUE(MakePrivateFolder(QFileInfo(history).path(), &error)) << error.toStdString();
    const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
    ASSERT_TRUE(SaveTraceFile(
        TraceFilePath(history),
        {{now - 60'000, 900.0F, 0.0F, 5.0F}, {now - 2'000, 915.0F, 0.0F, 5.0F}}, &error));
    const QString pdf = m_home.filePath(QStringLiteral("visit.pdf"));
    QByteArray errors;
    EXPECT_EQ(RunClient(pdf, &errors,
                        {QStringLiteral("--engineer"), QStringLiteral("Ann Engineer"),
                         QStringLiteral("--customer=Acme Labs"), QStringLiteral("--site"),
                         QStringLiteral("Building 4"), QStringLiteral("--work-order"),
                         QStringLiteral("WO-7781"), QStringLiteral("--as-found"),
                         QStringLiteral("Leaking seal"), QStringLiteral("--work-done"),
                         QStringLiteral("Seal replaced"), QStringLiteral("--part"),
                         QStringLiteral("SEAL-100,S-1,S-2"), QStringLiteral("--part"),
                         QStringLiteral("FILTER-7,,F-9"), QStringLiteral("--next-service"),
                         QStringLiteral("2027-06-09")}),
              0)
        << errors.toStdString();
    const QString text = PdfText(pdf);
    for (const QString& expected :
         {QStringLiteral("Readings from"), QStringLiteral("915 PSI"), QStringLiteral("Acme Labs"),
          QStringLiteral("WO-7781"), QStringLiteral("SEAL-100"), QStringLiteral("FILTER-7"),
          QStringLiteral("2027-06-09"), QStringLiteral("Engineer: Ann Engineer"),
          QStringLiteral("Service visit: engineer Ann Engineer")}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " in\n"
                                             << text.toStdString();
    }

    EXPECT_EQ(RunClient(pdf, &errors, {QStringLiteral("--part"), QStringLiteral("SEAL-100")}), 1);
    EXPECT_TRUE(errors.contains("Not a part for --part")) << errors.toStdString();
}

} // namespace
