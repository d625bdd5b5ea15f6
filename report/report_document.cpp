#include "report_document.h"

#include "resource.h"
#include "string_table.h"
#include "trace_picture.h"
#include "whole_file.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimeZone>
#include <QUrl>

#include <algorithm>

namespace {

const QString kTraceImage = QStringLiteral("orvix-report://pressure-trace.png");
// The picture is drawn at print resolution and laid out at the text's width.
constexpr QSize kTracePictureSize(2000, 900);
constexpr int kTracePictureWidth = 620;
constexpr int kPdfResolution = 300;
constexpr double kMetersPerInch = 0.0254;
constexpr qreal kDefaultDpi = 96;
constexpr qreal kNoScreenDpi = 100;
constexpr qreal kHistoryPointSize = 8;
const QColor kShadedRow(0xf0, 0xf0, 0xf0);
// The customer keeps the report: others may read it.
constexpr mode_t kReportFileMode = 0644;
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

// Free text keeps its line breaks.
QString Paragraphs(const QString& text) {
    return Escaped(text).replace(u'\n', QStringLiteral("<br>"));
}

QString VisitHtml(const ServiceVisit& visit) {
    const QStringList captions = LoadString(IDS_REPORT_VISIT_CAPTIONS).split(u'\n');
    const QString none = LoadString(IDS_REPORT_NO_VALUE);
    const QStringList values{visit.engineer,
                             visit.customer,
                             visit.site,
                             visit.workOrder,
                             visit.asFound,
                             visit.workDone,
                             VisitDateText(visit.nextServiceDue)};
    QString html =
        Heading(LoadString(IDS_REPORT_VISIT)) + QStringLiteral("<table cellspacing=\"0\">");
    for (qsizetype i = 0; i < values.size(); ++i) {
        html += QStringLiteral("<tr><td class=\"caption\" valign=\"top\">%1</td><td>%2</td></tr>")
                    .arg(Escaped(captions.value(i)),
                         values[i].isEmpty() ? none : Paragraphs(values[i]));
    }
    html += QStringLiteral("<tr><td class=\"caption\" valign=\"top\">%1</td><td>")
                .arg(Escaped(LoadString(IDS_REPORT_PARTS)));
    if (visit.parts.empty()) {
        html += Escaped(LoadString(IDS_REPORT_NO_PARTS));
    } else {
        ReportTable parts;
        parts.headings = LoadString(IDS_REPORT_PARTS_HEADINGS).split(u'\n');
        for (const ReplacedPart& part : visit.parts) {
            parts.rows.push_back({part.partNumber, part.oldSerial, part.newSerial});
        }
        html += TableHtml(parts);
    }
    return html + QStringLiteral("</td></tr></table>");
}

// A line to sign on for the engineer and one for the customer, each with the name below.
QString SignaturesHtml(const ServiceVisit& visit) {
    const QStringList captions = LoadString(IDS_REPORT_SIGNATURE_CAPTIONS).split(u'\n');
    const QString line = LoadString(IDS_REPORT_SIGNATURE_LINE);
    const QString cell = QStringLiteral(
        "<td width=\"50%\" valign=\"top\"><br><br>______________________________________<br>"
        "<span class=\"caption\">%1</span><br>%2</td>");
    return QStringLiteral("<table width=\"100%\" cellspacing=\"0\"><tr>%1%2</tr></table>")
        .arg(cell.arg(Escaped(line), Escaped(captions.value(0).arg(visit.engineer))),
             cell.arg(Escaped(line), Escaped(captions.value(1).arg(visit.customer))));
}

QString TraceHtml(const ServiceReport& report) {
    QString html = Heading(LoadString(IDS_PRESSURE_TRACE));
    if (report.trace.empty()) {
        return html + QStringLiteral("<p>%1</p>").arg(Escaped(LoadString(IDS_REPORT_NO_TRACE)));
    }
    const TraceSpan span = TraceSpanOf(report.trace);
    html += QStringLiteral("<p>%1</p>")
                .arg(Escaped(LoadString(IDS_REPORT_TRACE_SPAN)
                                 .arg(ReportTimeText(span.fromUtc), ReportTimeText(span.toUtc))));
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
    return html;
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
    return html;
}

// Counts the pages as they are laid out.
class CCountingPdfWriter final : public QPdfWriter {
public:
    CCountingPdfWriter(QIODevice* device, ReportProgress* progress)
        : QPdfWriter(device), m_progress(progress) {}

    bool newPage() override {
        if (m_progress != nullptr) {
            ++m_progress->pages;
        }
        return QPdfWriter::newPage();
    }

private:
    ReportProgress* m_progress;
};

// Paints nothing: it gives the metrics of the PDF's resolution, at which the document is laid out.
QImage PdfMetricsDevice() {
    QImage device(1, 1, QImage::Format_Mono);
    const int dotsPerMeter = qRound(kPdfResolution / kMetersPerInch);
    device.setDotsPerMeterX(dotsPerMeter);
    device.setDotsPerMeterY(dotsPerMeter);
    return device;
}

// The resolution the text layout takes as the screen's, as Qt's own text engine reckons it.
qreal ScreenDpi() {
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi)) {
        return kDefaultDpi;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? qRound(screen->logicalDotsPerInchY()) : kNoScreenDpi;
}

// The service history as one paragraph a row rather than a table, which would take minutes to
// lay out for thousands of entries: every column but the last as wide as its widest text, tab
// stops between them, the text column's wrapped lines under its start.
void AppendHistoryRows(QTextDocument* document, const std::vector<ServiceHistoryEntry>& history) {
    if (history.empty()) {
        return;
    }
    std::vector<QStringList> rows{LoadString(IDS_REPORT_HISTORY_HEADINGS).split(u'\n')};
    // A tab or a line break in a text would break its row's columns.
    for (const ServiceHistoryEntry& entry : CondensedHistory(history)) {
        rows.push_back({ReportTimeText(entry.utc), entry.kind.simplified(), entry.user.simplified(),
                        entry.host.simplified(), entry.serial.simplified(),
                        entry.text.simplified()});
    }
    QFont font(QStringLiteral("sans-serif"));
    font.setPointSizeF(kHistoryPointSize);
    QFont bold = font;
    bold.setBold(true);
    const QImage device = PdfMetricsDevice();
    const QFontMetricsF metrics(bold, &device);
    const qsizetype columns = rows.front().size();
    std::vector<qreal> widths(static_cast<std::size_t>(columns), 0.0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i + 1 < columns; ++i) {
            widths[static_cast<std::size_t>(i)] = std::max(widths[static_cast<std::size_t>(i)],
                                                           metrics.horizontalAdvance(row.value(i)));
        }
    }
    const qreal gap = metrics.horizontalAdvance(u'M');
    // The layout scales tab stops, unlike margins, from the screen's resolution to the PDF's.
    const qreal tabScale = ScreenDpi() / kPdfResolution;
    QList<QTextOption::Tab> tabs;
    qreal position = 0;
    for (qsizetype i = 0; i + 1 < columns; ++i) {
        position += widths[static_cast<std::size_t>(i)] + gap;
        tabs << QTextOption::Tab(position * tabScale, QTextOption::LeftTab);
    }
    QTextBlockFormat block;
    block.setTabPositions(tabs);
    block.setLeftMargin(position);
    block.setTextIndent(-position);
    QTextBlockFormat shaded = block;
    shaded.setBackground(kShadedRow);
    QTextCharFormat plain;
    plain.setFont(font);
    QTextCharFormat heading;
    heading.setFont(bold);

    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        cursor.insertBlock(i % 2 == 0 ? shaded : block, i == 0 ? heading : plain);
        cursor.insertText(rows[i].join(u'\t'));
    }
}

} // namespace

QString ServiceReportHtml(const ServiceReport& report) {
    QString html =
        QStringLiteral("<html><body><h1>%1</h1>").arg(Escaped(LoadString(IDS_REPORT_TITLE)));
    if (!report.InstrumentAnswered()) {
        html += Notice(IDS_REPORT_NOT_ANSWERED);
    }
    html += VisitHtml(report.visit);
    // Two columns, so that what the instrument says at report time fits the first page.
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\"><tr>"
                           "<td width=\"50%\" valign=\"top\">%1</td>"
                           "<td width=\"50%\" valign=\"top\">%2</td></tr>"
                           "<tr><td valign=\"top\">%3</td><td valign=\"top\">%4%5</td></tr>"
                           "</table>")
                .arg(SectionHtml(report.instrument), SectionHtml(report.configuration),
                     SectionHtml(report.usage), Heading(QString()), TableHtml(report.syringeUsage));
    html += SectionHtml(report.status);
    html += SignaturesHtml(report.visit);
    html += TraceHtml(report);
    html += HistoryHtml(report);
    return html + QStringLiteral("</body></html>");
}

std::unique_ptr<QTextDocument> ServiceReportDocument(const ServiceReport& report) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultStyleSheet(kStyle);
    if (!report.trace.empty()) {
        document->addResource(QTextDocument::ImageResource, QUrl(kTraceImage),
                              TracePicture(report.trace, kTracePictureSize));
    }
    document->setHtml(ServiceReportHtml(report));
    AppendHistoryRows(document.get(), report.history);
    return document;
}

bool WriteServiceReport(const ServiceReport& report, const QString& path, QString* error,
                        ReportProgress* progress) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        CCountingPdfWriter writer(&pdf, progress);
        writer.setTitle(LoadString(IDS_REPORT_TITLE));
        writer.setCreator(WrittenByText());
        writer.setResolution(kPdfResolution);
        // The text keeps the document's own margins; the page adds none of its own.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        ServiceReportDocument(report)->print(&writer);
    }
    if (progress != nullptr && progress->cancelled) {
        return false;
    }
    return WriteWholeFile(path, pdf.data(), kReportFileMode, error);
}
