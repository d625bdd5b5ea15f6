#pragma once

#include "command_target.h"
#include "service_report.h"

#include <QDateTime>
#include <QObject>

#include <functional>
#include <memory>

class QWidget;

// File > "Service Report...": asks for the visit's details (remembering who and where for the
// next visit) and where the service history starts, then where the PDF goes; records the visit
// in the service history, reads the instrument and writes the report off the window's thread.
// A report that could not be written is said in a message box; one that was, in the owner's
// status bar.
// It goes with its owner.
class CServiceReportCommand : public QObject, public ICommandTarget {
public:
    using Clock = std::function<QDateTime()>;

    // The client's start is now: the command comes with the main window.
    CServiceReportCommand(QWidget* owner, ServiceReportSources::TraceSource trace,
                          std::unique_ptr<IServiceHistorySource> history,
                          Clock clock = &QDateTime::currentDateTimeUtc);

    bool HasCommand(int commandId) const override;
    void OnCommand(int commandId) override;

    // Answers whether a report was written.
    bool OnServiceReport();

private:
    QWidget* m_owner;
    std::unique_ptr<IServiceHistorySource> m_history;
    ServiceReportSources m_sources;
    Clock m_clock;
    QDateTime m_clientStartUtc;
};
