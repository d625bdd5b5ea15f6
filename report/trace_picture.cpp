#include "trace_picture.h"

#include "resource.h"
#include "string_table.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

const QColor kPressureColour(0x1f, 0x4e, 0x9a);
const QColor kAuxPressureColour(0xe0, 0x7b, 0x00);
const QColor kFlowRateColour(0x2e, 0x8b, 0x3a);
const QColor kGridColour(0xd0, 0xd0, 0xd0);
constexpr int kGridLines = 5;
constexpr int kTimeLabels = 5;
// Sizes as parts of the picture's height, so that the picture scales as a whole.
constexpr double kFontPart = 0.035;
constexpr double kLineWidthPart = 0.004;
// The axes never span less than this, so that a flat trace at zero still has a scale.
constexpr double kMinPressureSpan = 100.0;
constexpr double kMinFlowSpan = 1.0;
constexpr double kHeadroom = 1.1;
constexpr char kAxisTimeFormat[] = "hh:mm:ss";
constexpr std::int64_t kMinTimeSpanMs = 60'000;

QString AxisNumber(double value) {
    return QString::number(value, 'g', 6);
}

} // namespace

double NiceCeiling(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= value * (1.0 - 1e-9)) {
            return step * power;
        }
    }
    return 10.0 * power;
}

TraceSpan TraceSpanOf(const std::vector<TraceSample>& samples) {
    const std::int64_t to = samples.back().msecsSinceEpoch;
    const std::int64_t from = std::min(samples.front().msecsSinceEpoch, to - kMinTimeSpanMs);
    return {QDateTime::fromMSecsSinceEpoch(from, QTimeZone::utc()),
            QDateTime::fromMSecsSinceEpoch(to, QTimeZone::utc())};
}

QImage TracePicture(const std::vector<TraceSample>& samples, QSize size) {
    const auto [fromUtc, toUtc] = TraceSpanOf(samples);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(size.height() * kFontPart)));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int line = metrics.height();
    // The legend on the first line, the units on the third, clear of the top numbers that
    // reach half a line above the plot; below it the times, then their unit.
    const int margin = metrics.horizontalAdvance(QStringLiteral("000000"));
    const QRect plot(margin, 4 * line, size.width() - 2 * margin, size.height() - 7 * line);

    double maxPressure = kMinPressureSpan;
    double maxFlow = kMinFlowSpan;
    for (const TraceSample& sample : samples) {
        maxPressure = std::max({maxPressure, static_cast<double>(sample.pressure),
                                static_cast<double>(sample.auxPressure)});
        maxFlow = std::max(maxFlow, static_cast<double>(sample.flowRate));
    }
    // Some room above the highest reading, so that it does not run along the frame.
    maxPressure = NiceCeiling(maxPressure * kHeadroom);
    maxFlow = NiceCeiling(maxFlow * kHeadroom);

    // Grid and both value axes.
    painter.setPen(kGridColour);
    for (int i = 0; i <= kGridLines; ++i) {
        const int y = plot.bottom() - plot.height() * i / kGridLines;
        painter.setPen(kGridColour);
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(kPressureColour);
        painter.drawText(QRect(0, y - line / 2, plot.left() - line / 4, line),
                         Qt::AlignRight | Qt::AlignVCenter,
                         AxisNumber(maxPressure * i / kGridLines));
        painter.setPen(kFlowRateColour);
        painter.drawText(QRect(plot.right() + line / 4, y - line / 2, plot.left(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, AxisNumber(maxFlow * i / kGridLines));
    }
    const std::int64_t from = fromUtc.toMSecsSinceEpoch();
    const std::int64_t span = std::max<std::int64_t>(1, toUtc.toMSecsSinceEpoch() - from);
    painter.setPen(Qt::black);
    for (int i = 0; i < kTimeLabels; ++i) {
        const int x = plot.left() + plot.width() * i / (kTimeLabels - 1);
        const QDateTime at = fromUtc.addMSecs(span * i / (kTimeLabels - 1)).toUTC();
        painter.drawText(QRect(x - 2 * line, plot.bottom() + line / 4, 4 * line, line),
                         Qt::AlignHCenter | Qt::AlignTop,
                         at.toString(QLatin1String(kAxisTimeFormat)));
    }
    painter.drawText(QRect(0, plot.bottom() + 3 * line / 2, size.width(), line), Qt::AlignHCenter,
                     LoadString(IDS_REPORT_TRACE_TIME_AXIS));
    painter.drawRect(plot);

    // The three series.
    using Value = std::function<float(const TraceSample&)>;
    const std::array<std::tuple<int, QColor, double, Value>, 3> series{{
        {IDS_TRACE_SYSTEM_PRESSURE, kPressureColour, maxPressure,
         [](const TraceSample& s) { return s.pressure; }},
        {IDS_TRACE_AUX_PRESSURE, kAuxPressureColour, maxPressure,
         [](const TraceSample& s) { return s.auxPressure; }},
        {IDS_TRACE_FLOW_RATE, kFlowRateColour, maxFlow,
         [](const TraceSample& s) { return s.flowRate; }},
    }};
    int legendX = plot.left();
    for (const auto& [nameId, colour, maximum, value] : series) {
        QPainterPath path;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double x = plot.left() +
                             plot.width() * static_cast<double>(samples[i].msecsSinceEpoch - from) /
                                 static_cast<double>(span);
            const double y = plot.bottom() - plot.height() * value(samples[i]) / maximum;
            if (i == 0) {
                path.moveTo(x, y);
            } else {
                path.lineTo(x, y);
            }
        }
        painter.setPen(QPen(colour, std::max(1.0, size.height() * kLineWidthPart)));
        painter.drawPath(path);
        const QString name = LoadString(nameId);
        painter.drawLine(legendX, line, legendX + line, line);
        painter.drawText(QPoint(legendX + line + line / 4, line + metrics.ascent() / 2), name);
        legendX += 2 * line + metrics.horizontalAdvance(name);
    }
    painter.setPen(kPressureColour);
    const int unitTop = plot.top() - 2 * line;
    painter.drawText(QRect(0, unitTop, plot.left() + margin, line),
                     Qt::AlignLeft | Qt::AlignVCenter, LoadString(IDS_TRACE_PRESSURE_AXIS));
    painter.setPen(kFlowRateColour);
    painter.drawText(
        QRect(plot.right() - margin, unitTop, size.width() - plot.right() + margin, line),
        Qt::AlignRight | Qt::AlignVCenter, LoadString(IDS_TRACE_FLOW_AXIS));
    return image;
}
