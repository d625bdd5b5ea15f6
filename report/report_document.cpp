#include "report_document.h"

#include "resource.h"
#include "string_table.h"
#include "trace_picture.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTimeZone>
#include <QUrl>

namespace {

const QString kTraceImage = QStringLiteral("orvix-report://pressure-trace.png");
// The picture is drawn at print resolution and laid out at the text's width.
constexpr QSize kTracePictureSize(2000, 900);
constexpr int kTracePictureWidth = 620;
constexpr int kPdfResolution = 300;
const QString kStyle = QStringLiteral(
    "body { font-family: sans-serif; font-size: 9pt; }"
    "h1 { font-size: 18pt; } h2 { font-size: 13pt; margin-top: 14px; }"
    "td, th { padding: 2px 6px; } th { text-align: left; background-color: #e8e8e8; }"
    ".caption { color: #404040; white-space: nowrap; }"
    ".notice { color: #b00000; font-weight: bold; }");

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString Heading(const QString& title) {
    return QStringLiteral("<h2>%1</h2>")
        .arg(title.isEmpty() ? QStringLiteral("&nbsp;") : Escaped(title));
}

QString Notice(int textId) {
    return QStringLiteral("<p class=\"notice\">%1</p>").arg(Escaped(LoadString(textId)));
}

QString SectionHtml(const ReportSection& section) {
    QString html = Heading(section.title);
    if (!section.answered) {
        html += Notice(IDS_REPORT_SECTION_NOT_ANSWERED);
    }
    html += QStringLiteral("<table cellspacing=\"0\">");
    for (const ReportRow& row : section.rows) {
        html += QStringLiteral("<tr><td class=\"caption\">%1</td><td>%2</td></tr>")
                    .arg(Escaped(row.caption), Escaped(row.value));
    }
    return html + QStringLiteral("</table>");
}

QString TableHtml(const ReportTable& table) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" "
                                  "style=\"border-collapse: collapse; border-color: #a0a0a0;\">"
                                  "<thead><tr>");
    for (const QString& heading : table.headings) {
        html += QStringLiteral("<th>%1</th>").arg(Escaped(heading));
    }
    html += QStringLiteral("</tr></thead>");
    for (const QStringList& row : table.rows) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : row) {
            html += QStringLiteral("<td>%1</td>").arg(Escaped(cell));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QDateTime TraceFrom(const ServiceReport& report) {
    return report.writtenUtc.addSecs(
        -std::chrono::duration_cast<std::chrono::seconds>(ServiceReport::kTraceWindow).count());
}

QString TraceHtml(const ServiceReport& report) {
    QString html = QStringLiteral("<div style=\"page-break-before: always;\">") +
                   Heading(LoadString(IDS_PRESSURE_TRACE)) +
                   QStringLiteral("<p>%1</p>")
                       .arg(Escaped(LoadString(IDS_REPORT_TRACE_SPAN)
                                        .arg(ReportTimeText(TraceFrom(report)),
                                             ReportTimeText(report.writtenUtc))));
    if (report.trace.empty()) {
        return html +
               QStringLiteral("<p>%1</p></div>").arg(Escaped(LoadString(IDS_REPORT_NO_TRACE)));
    }
    const TraceSample& latest = report.trace.back();
    html += QStringLiteral("<p><img src=\"%1\" width=\"%2\"></p>")
                .arg(kTraceImage)
                .arg(kTracePictureWidth);
    const QString reading = LoadString(IDS_TRACE_LATEST)
                                .arg(QString::number(latest.pressure, 'f', 0),
                                     QString::number(latest.auxPressure, 'f', 0),
                                     QString::number(latest.flowRate, 'f', 2));
    html += QStringLiteral("<p>%1</p>")
                .arg(Escaped(LoadString(IDS_REPORT_TRACE_LATEST)
                                 .arg(ReportTimeText(QDateTime::fromMSecsSinceEpoch(
                                          latest.msecsSinceEpoch, QTimeZone::utc())),
                                      reading)));
    return html + QStringLiteral("</div>");
}

QString HistoryHtml(const ServiceReport& report) {
    QString html =
        Heading(LoadString(IDS_REPORT_HISTORY)) +
        QStringLiteral("<p>%1</p>")
            .arg(Escaped(
                LoadString(IDS_REPORT_HISTORY_SINCE).arg(ReportTimeText(report.historySinceUtc))));
    if (!report.historyAnchor.publicKey.isEmpty()) {
        html +=
            QStringLiteral("<p>%1<br>%2</p>")
                .arg(
                    Escaped(LoadString(IDS_REPORT_HISTORY_KEY).arg(report.historyAnchor.publicKey)),
                    Escaped(report.historyAnchor.lastCheckpoint));
    }
    if (report.history.empty()) {
        return html + QStringLiteral("<p>%1</p>").arg(Escaped(LoadString(IDS_REPORT_NO_HISTORY)));
    }
    ReportTable table;
    table.headings = LoadString(IDS_REPORT_HISTORY_HEADINGS).split(u'\n');
    for (const ServiceHistoryEntry& entry : report.history) {
        table.rows.push_back({ReportTimeText(entry.utc), entry.kind, entry.user, entry.host,
                              entry.serial, entry.text});
    }
    return html + TableHtml(table);
}

} // namespace

QString ServiceReportHtml(const ServiceReport& report) {
    QString html =
        QStringLiteral("<html><body><h1>%1</h1>").arg(Escaped(LoadString(IDS_REPORT_TITLE)));
    if (!report.InstrumentAnswered()) {
        html += Notice(IDS_REPORT_NOT_ANSWERED);
    }
    // Two columns, so that what the instrument says at report time fits the first page.
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\"><tr>"
                           "<td width=\"50%\" valign=\"top\">%1</td>"
                           "<td width=\"50%\" valign=\"top\">%2</td></tr>"
                           "<tr><td valign=\"top\">%3</td><td valign=\"top\">%4%5</td></tr>"
                           "</table>")
                .arg(SectionHtml(report.instrument), SectionHtml(report.configuration),
                     SectionHtml(report.usage), Heading(QString()), TableHtml(report.syringeUsage));
    html += SectionHtml(report.status);
    html += TraceHtml(report);
    html += HistoryHtml(report);
    return html + QStringLiteral("</body></html>");
}

std::unique_ptr<QTextDocument> ServiceReportDocument(const ServiceReport& report) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultStyleSheet(kStyle);
    if (!report.trace.empty()) {
        document->addResource(
            QTextDocument::ImageResource, QUrl(kTraceImage),
            TracePicture(report.trace, TraceFrom(report), report.writtenUtc, kTracePictureSize));
    }
    document->setHtml(ServiceReportHtml(report));
    return document;
}

bool WriteServiceReport(const ServiceReport& report, const QString& path, QString* error) {
    // The temporary file sits beside the target and replaces it only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setTitle(LoadString(IDS_REPORT_TITLE));
        writer.setCreator(WrittenByText());
        writer.setResolution(kPdfResolution);
        // The text keeps the document's own margins; the page adds none of its own.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        ServiceReportDocument(report)->print(&writer);
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
