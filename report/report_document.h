#pragma once

#include "service_report.h"

#include <QString>

#include <atomic>
#include <memory>

class QTextDocument;

// The report laid out as A4 pages: the rich text of its sections, its pressure trace picture
// added as the document's image resource.
QString ServiceReportHtml(const ServiceReport& report);
std::unique_ptr<QTextDocument> ServiceReportDocument(const ServiceReport& report);

// How far a report's writing is, for a window that shows it, and whether the engineer cancelled
// it; the writing thread and the window share it.
struct ReportProgress {
    std::atomic<int> pages{0};
    std::atomic<bool> cancelled{false};
};

// Writes the report as a PDF file at path. The file appears only once it is whole: a failed
// write leaves no file behind and any earlier one as it was, and says why in error. A report
// cancelled while it was laid out is not written, and error stays empty.
bool WriteServiceReport(const ServiceReport& report, const QString& path, QString* error,
                        ReportProgress* progress = nullptr);
