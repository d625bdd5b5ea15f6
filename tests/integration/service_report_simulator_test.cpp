#include "event_log.h"
#include "event_log_history.h"
#include "instrument_bus.h"
#include "record_memory.h"
#include "report_file.h"
#include "simulator_session.h"
#include "state_text.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

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

// orvix-client --report, as a script runs it, on a bus of its own with the simulator.
class ReportCommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_bus.IsRunning());
        m_bus.AddSimulator(m_home, m_home.path());
    }

    // The client's exit code; its standard error in errors.
    int RunClient(const QString& pdf, QByteArray* errors) {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.Address());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        client.setProcessEnvironment(env);
        client.start(BinaryPath(QStringLiteral("orvix-client")), {QStringLiteral("--report"), pdf});
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

} // namespace
