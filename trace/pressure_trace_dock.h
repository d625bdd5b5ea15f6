#pragma once

#include "pressure_trace.h"

#include <QDateTime>
#include <QDockWidget>

#include <chrono>
#include <functional>

class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;

// "Pressure Trace": system pressure, auxiliary pressure and flow rate over the last ten minutes,
// one point per good status read, with an export of the shown points to CSV. Until ten minutes
// have been read, the time axis spans what there is (at least a minute). A read only adds to the
// trace; the chart is redrawn from it once the event loop is idle again, and not at all while the
// dock is hidden (it catches up when it shows).
class CPressureTraceDock : public QDockWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::minutes kWindow{10};

    // Milliseconds since the epoch.
    using Clock = std::function<std::int64_t()>;

    explicit CPressureTraceDock(std::chrono::milliseconds samplePeriod, QWidget* parent = nullptr,
                                Clock clock = &QDateTime::currentMSecsSinceEpoch);

    const CPressureTrace& Trace() const { return m_trace; }
    QChartView* ChartView() const { return m_chartView; }
    QLineSeries* PressureSeries() const { return m_pressure; }
    QLineSeries* AuxPressureSeries() const { return m_auxPressure; }
    QLineSeries* FlowRateSeries() const { return m_flowRate; }
    QDateTimeAxis* TimeAxis() const { return m_timeAxis; }
    QPushButton* ExportButton() const { return m_exportButton; }

public slots:
    // A good status read: one more point.
    void OnStatusRead(const InstrumentStatus& status);
    // Saves the points on show as CSV where the user chooses.
    void ExportCsv();
    // Brings the chart up to the trace.
    void RedrawChart();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FitAxes();
    void DescribeLatest();

    Clock m_clock;
    CPressureTrace m_trace;
    QChartView* m_chartView = nullptr;
    QLineSeries* m_pressure = nullptr;
    QLineSeries* m_auxPressure = nullptr;
    QLineSeries* m_flowRate = nullptr;
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_pressureAxis = nullptr;
    QValueAxis* m_flowAxis = nullptr;
    QPushButton* m_exportButton = nullptr;
    QString m_latestFormat;
    QTimer* m_redrawTimer = nullptr;
};
