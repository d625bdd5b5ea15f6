#include "pressure_trace_dock.h"

#include "export_file.h"
#include "ids_trace.h"
#include "records.h"
#include "string_table.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QValueAxis>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

// Five intervals: two-minute ticks across the whole window.
constexpr int kTimeTicks = 6;
constexpr std::chrono::minutes kShortestSpan{1};
// Room for the axis labels and the legend, however narrow the form beside it leaves the dock.
constexpr QSize kMinimumChartSize(480, 300);
constexpr int kValueTicks = 5;
constexpr int kLatestPressureDecimals = 0;
constexpr int kLatestFlowDecimals = 2;

// The smallest of 1, 2 or 5 times a power of ten that holds the value, so the axis keeps its
// range while the readings wander below it.
double NiceCeiling(double value) {
    if (!(value > 0.0)) {
        return 1.0;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0}) {
        if (step * magnitude >= value) {
            return step * magnitude;
        }
    }
    return 10.0 * magnitude;
}

QLineSeries* MakeSeries(int nameId, QChart* chart, QAbstractAxis* timeAxis,
                        QAbstractAxis* valueAxis) {
    auto* series = new QLineSeries(chart);
    series->setName(LoadString(nameId));
    chart->addSeries(series);
    series->attachAxis(timeAxis);
    series->attachAxis(valueAxis);
    return series;
}

} // namespace

CPressureTraceDock::CPressureTraceDock(std::chrono::milliseconds samplePeriod, QWidget* parent,
                                       Clock clock)
    : QDockWidget(LoadString(IDS_PRESSURE_TRACE), parent), m_clock(std::move(clock)),
      m_trace(kWindow, samplePeriod), m_latestFormat(LoadString(IDS_TRACE_LATEST)) {
    setObjectName(QStringLiteral("pressureTraceDock"));

    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis(chart);
    m_timeAxis->setFormat(LoadString(IDS_TRACE_TIME_FORMAT));
    m_timeAxis->setTickCount(kTimeTicks);
    m_pressureAxis = new QValueAxis(chart);
    m_pressureAxis->setTitleText(LoadString(IDS_TRACE_PRESSURE_AXIS));
    m_pressureAxis->setTickCount(kValueTicks);
    m_pressureAxis->setLabelFormat(LoadString(IDS_TRACE_PRESSURE_LABEL_FORMAT));
    m_flowAxis = new QValueAxis(chart);
    m_flowAxis->setTitleText(LoadString(IDS_TRACE_FLOW_AXIS));
    m_flowAxis->setTickCount(kValueTicks);
    m_flowAxis->setLabelFormat(LoadString(IDS_TRACE_FLOW_LABEL_FORMAT));
    chart->addAxis(m_timeAxis, Qt::AlignBottom);
    chart->addAxis(m_pressureAxis, Qt::AlignLeft);
    chart->addAxis(m_flowAxis, Qt::AlignRight);
    m_pressure = MakeSeries(IDS_TRACE_SYSTEM_PRESSURE, chart, m_timeAxis, m_pressureAxis);
    m_auxPressure = MakeSeries(IDS_TRACE_AUX_PRESSURE, chart, m_timeAxis, m_pressureAxis);
    m_flowRate = MakeSeries(IDS_TRACE_FLOW_RATE, chart, m_timeAxis, m_flowAxis);

    auto* contents = new QWidget(this);
    m_chartView = new QChartView(chart, contents);
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumSize(kMinimumChartSize);
    m_chartView->setAccessibleName(windowTitle());
    m_exportButton = new QPushButton(LoadString(IDS_TRACE_EXPORT), contents);
    m_exportButton->setObjectName(QStringLiteral("exportCsvButton"));
    connect(m_exportButton, &QPushButton::clicked, this, &CPressureTraceDock::ExportCsv);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_exportButton);
    auto* layout = new QVBoxLayout(contents);
    layout->addWidget(m_chartView, 1);
    layout->addLayout(buttons);
    setWidget(contents);

    m_redrawTimer = new QTimer(this);
    m_redrawTimer->setSingleShot(true);
    m_redrawTimer->setInterval(0);
    connect(m_redrawTimer, &QTimer::timeout, this, &CPressureTraceDock::RedrawChart);
    FitAxes();
}

void CPressureTraceDock::OnStatusRead(const InstrumentStatus& status) {
    m_trace.Add(SampleOf(status, m_clock()));
    // Lines and axes cost far more than the read: they wait for the event loop, once per burst.
    if (isVisible() && !m_redrawTimer->isActive()) {
        m_redrawTimer->start();
    }
}

void CPressureTraceDock::RedrawChart() {
    QList<QPointF> pressure;
    QList<QPointF> auxPressure;
    QList<QPointF> flowRate;
    for (std::size_t i = m_trace.FirstShown(); i < m_trace.Samples().Size(); ++i) {
        const TraceSample& sample = m_trace.Samples()[i];
        const auto x = static_cast<qreal>(sample.msecsSinceEpoch);
        pressure.append({x, sample.pressure});
        auxPressure.append({x, sample.auxPressure});
        flowRate.append({x, sample.flowRate});
    }
    m_pressure->replace(pressure);
    m_auxPressure->replace(auxPressure);
    m_flowRate->replace(flowRate);
    DescribeLatest();
    FitAxes();
}

void CPressureTraceDock::DescribeLatest() {
    if (m_trace.Samples().Empty()) {
        return;
    }
    const TraceSample& latest = m_trace.Samples().Newest();
    m_chartView->setAccessibleDescription(
        m_latestFormat.arg(QString::number(latest.pressure, 'f', kLatestPressureDecimals),
                           QString::number(latest.auxPressure, 'f', kLatestPressureDecimals),
                           QString::number(latest.flowRate, 'f', kLatestFlowDecimals)));
}

void CPressureTraceDock::FitAxes() {
    // The time axis ends with the newest point (or now) and spans the points on show, at least a
    // minute and at most the whole window, so the first minutes of a run fill the chart too.
    const std::int64_t end =
        m_trace.Samples().Empty() ? m_clock() : m_trace.Samples().Newest().msecsSinceEpoch;
    const std::int64_t shown =
        m_pressure->count() == 0 ? 0 : end - static_cast<std::int64_t>(m_pressure->at(0).x());
    const std::int64_t span = std::clamp<std::int64_t>(
        shown, std::chrono::milliseconds(kShortestSpan).count(), m_trace.Window().count());
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(end - span),
                         QDateTime::fromMSecsSinceEpoch(end));

    double pressureTop = 0.0;
    double flowTop = 0.0;
    for (int i = 0; i < m_pressure->count(); ++i) {
        pressureTop = std::max({pressureTop, m_pressure->at(i).y(), m_auxPressure->at(i).y()});
        flowTop = std::max(flowTop, m_flowRate->at(i).y());
    }
    if (NiceCeiling(pressureTop) != m_pressureAxis->max()) {
        m_pressureAxis->setRange(0.0, NiceCeiling(pressureTop));
    }
    if (NiceCeiling(flowTop) != m_flowAxis->max()) {
        m_flowAxis->setRange(0.0, NiceCeiling(flowTop));
    }
}

void CPressureTraceDock::showEvent(QShowEvent* event) {
    RedrawChart();
    QDockWidget::showEvent(event);
}

void CPressureTraceDock::ExportCsv() {
    ExportTextFile(this, IDS_TRACE_EXPORT_CAPTION, IDS_TRACE_CSV_FILTER, IDS_TRACE_CSV_NAME,
                   TraceCsv(m_trace.Shown(), LoadString(IDS_TRACE_CSV_HEADER)));
}
