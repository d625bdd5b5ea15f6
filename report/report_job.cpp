#include "report_job.h"

#include "ids_report.h"
#include "report_document.h"
#include "string_table.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

// A report that takes less than this shows no dialog at all; the dialog, window-modal, then keeps
// the window from input.
constexpr int kShowAfterMs = 2000;
constexpr int kPollMs = 100;

} // namespace

ReportResult RunReportJob(QWidget* owner, ReportProgress& progress,
                          const std::function<ReportResult()>& work) {
    QProgressDialog dialog(LoadString(IDS_REPORT_PROGRESS).arg(0), LoadString(IDS_REPORT_CANCEL), 0,
                           0, owner);
    dialog.setObjectName(QStringLiteral("reportProgressDlg"));
    dialog.setWindowTitle(LoadString(IDS_REPORT_TITLE));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kShowAfterMs);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [&progress] { progress.cancelled = true; });

    ReportResult result{ReportOutcome::NotWritten, QString()};
    QEventLoop loop;
    const std::unique_ptr<QThread> thread(QThread::create([&result, &work] { result = work(); }));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.callOnTimeout(&dialog, [&dialog, &progress] {
        dialog.setLabelText(LoadString(IDS_REPORT_PROGRESS).arg(progress.pages.load()));
    });
    poll.start(kPollMs);
    thread->start();
    // Until the dialog shows, the window takes no input: no second report, and no closing the
    // window under this one. Its timers and painting go on.
    QTimer::singleShot(kShowAfterMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!thread->isFinished() && !progress.cancelled) {
        QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        dialog.show();
        loop.exec();
    }
    // After a Cancel the layout under way goes on to its end, the window still without input.
    if (!thread->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // An application that quits ends every event loop: the work finishes its layout but writes
    // nothing.
    if (!thread->isFinished()) {
        progress.cancelled = true;
        thread->wait();
    }
    return result;
}
