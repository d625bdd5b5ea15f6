#pragma once

#include "service_report.h"

#include <QString>

#include <memory>

class QTextDocument;

// The report laid out as A4 pages: the rich text of its sections, its pressure trace picture
// added as the document's image resource.
QString ServiceReportHtml(const ServiceReport& report);
std::unique_ptr<QTextDocument> ServiceReportDocument(const ServiceReport& report);

// Writes the report as a PDF file at path. The file appears only once it is whole: a failed
// write leaves no file behind and any earlier one as it was, and says why in error.
bool WriteServiceReport(const ServiceReport& report, const QString& path, QString* error);
