#pragma once

#include "report_file.h"

#include <functional>

class QWidget;
struct ReportProgress;

// Runs work, which lays out and writes a report, on a thread of its own, so that a long service
// history never freezes the window. A progress dialog over owner shows the pages laid out once
// the work takes a while; its Cancel asks the work to stop, through progress. Returns the work's
// result once it has ended, the window's events going on meanwhile.
ReportResult RunReportJob(QWidget* owner, ReportProgress& progress,
                          const std::function<ReportResult()>& work);
