// Pictures of the real windows for the README, made against the instrument server on the
// session bus on whatever platform Qt runs (offscreen needs no display):
//   orvix-screenshots OUTPUT_FOLDER [IMAGE...]
// makes every picture, or only the ones named.
// scripts/screenshots.sh runs it on a private bus with the simulated instrument.
#include "diagnostic_sheets.h"
#include "event_log_dock.h"
#include "ids_frame.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "instrument_server.h"
#include "main_frame.h"
#include "message_autoanswer.h"
#include "orvix_client_app.h"
#include "pressure_trace_dock.h"
#include "resource.h"
#include "string_table.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

// Past the instrument's initialisation after the client's OpenConnection, with at least one
// refresh of the status view since.
constexpr int kSettleMs = 4500;
// Long enough for a popup or a sheet to show and lay itself out.
constexpr int kShowMs = 300;
// Long enough for a page to show what it reads: the syringe data comes with the status view's
// next refresh, the sensors with the first tick after the monitor is on.
constexpr int kValvesSettleMs = 3500;
constexpr int kSensorsSettleMs = 1200;

void RunEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Save(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "orvix-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("orvix-screenshots: %s\n", qPrintable(path));
    return true;
}

// The window with an open popup of its own drawn where it stands, on a canvas that holds both.
QImage WindowWithPopup(QWidget* window, QWidget* popup) {
    const QPixmap windowPixels = window->grab();
    const QPixmap popupPixels = popup->grab();
    const QPoint popupAt = popup->mapToGlobal(QPoint()) - window->mapToGlobal(QPoint());
    const QRect bounds = window->rect().united(QRect(popupAt, popup->size()));
    const qreal ratio = windowPixels.devicePixelRatio();
    QImage image(bounds.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(-bounds.topLeft(), windowPixels);
    painter.drawPixmap(popupAt - bounds.topLeft(), popupPixels);
    return image;
}

QMenu* MenuHolding(QAction* action) {
    for (QObject* holder : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(holder)) {
            return menu;
        }
    }
    return nullptr;
}

bool ShootControlMenu(CMainFrame* frame, const QDir& folder) {
    QAction* changeFlow = frame->Action(ID_CONTROL_CHANGE_FLOW);
    QMenu* control = changeFlow == nullptr ? nullptr : MenuHolding(changeFlow);
    if (control == nullptr) {
        std::fprintf(stderr, "orvix-screenshots: the frame has no Control menu\n");
        return false;
    }
    frame->menuBar()->setActiveAction(control->menuAction());
    RunEventsFor(kShowMs);
    // An item under the pointer, as a user sees the menu.
    control->setActiveAction(changeFlow);
    RunEventsFor(kShowMs);
    const bool saved =
        Save(WindowWithPopup(frame, control), folder, QStringLiteral("control-menu.png"));
    control->close();
    RunEventsFor(kShowMs);
    return saved;
}

// The Service Diagnostics sheet with the tab of that caption in front (the first tab when
// empty), once its page has had the time to show what it reads.
bool ShootServiceSheet(CMainFrame* frame, const QDir& folder, const QString& name,
                       const QString& tab = {}, int settleMs = 0) {
    CDiagnosticSheet sheet(LoadString(IDS_SERVICE_DIAGNOSTICS), frame, 0);
    bool saved = false;
    QTimer::singleShot(kShowMs, &sheet, [&sheet, &saved, &folder, &name, &tab, settleMs] {
        // Qt gives a new window at most two thirds of the screen, and the offscreen screen is
        // small: the sheet is shown whole, as on a desktop.
        sheet.resize(sheet.sizeHint());
        for (int i = 0; i < sheet.GetPageCount(); ++i) {
            if (sheet.GetPage(i)->Caption() == tab) {
                sheet.SetActivePage(i);
            }
        }
        QTimer::singleShot(settleMs, &sheet, [&sheet, &saved, &folder, &name] {
            saved = Save(sheet.grab().toImage(), folder, name);
            sheet.PressButton(QStringLiteral("Cancel"));
        });
    });
    sheet.DoModal();
    return saved;
}

// Flow steps of the pressure trace picture, each held for a few refreshes, with an instrument
// error and then a reset for the event log to show.
struct FlowStep {
    float flow;
    float percentA;
};
constexpr FlowStep kFlowSteps[] = {{4.0F, 80.0F}, {7.0F, 60.0F}, {2.5F, 50.0F}, {5.0F, 70.0F}};
constexpr int kStepMs = 8000;
// Room for the form, the chart beside it and a few lines of log below.
constexpr QSize kTraceShotSize(1100, 760);

// The simulated instrument's own control interface, beside IInstrumentServer on the same object.
void RaiseSimulatedError(const QString& text) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        kInstrumentServiceName, kInstrumentObjectPath,
        QStringLiteral("org.orvix.InstrumentSimulator1"), QStringLiteral("RaiseError"));
    call << text;
    QDBusConnection::sessionBus().call(call);
}

bool ShootTraceAndLog(CMainFrame* frame, const QDir& folder) {
    auto* trace = frame->findChild<CPressureTraceDock*>();
    auto* log = frame->findChild<CEventLogDock*>();
    if (trace == nullptr || log == nullptr) {
        std::fprintf(stderr, "orvix-screenshots: the frame has no trace or log dock\n");
        return false;
    }
    trace->toggleViewAction()->trigger();
    log->toggleViewAction()->trigger();
    for (const FlowStep& step : kFlowSteps) {
        g_pServer->ChangeFlow(step.flow, step.percentA, 100.0F - step.percentA, 0.0F);
        RunEventsFor(kStepMs);
        if (&step == &kFlowSteps[1]) {
            RaiseSimulatedError(QStringLiteral("Pump B overpressure"));
        }
    }
    g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
    RunEventsFor(kSettleMs);
    frame->resize(frame->sizeHint().expandedTo(kTraceShotSize));
    RunEventsFor(kShowMs);
    return Save(frame->grab().toImage(), folder, QStringLiteral("trace-and-log.png"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: orvix-screenshots OUTPUT_FOLDER [IMAGE...]\n");
        return 2;
    }
    const QDir folder(arguments[1]);
    const QStringList wanted = arguments.mid(2);
    auto want = [&wanted](const QString& name) {
        return wanted.isEmpty() || wanted.contains(name);
    };
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "orvix-screenshots: cannot make %s\n", qPrintable(folder.path()));
        return 1;
    }
    InstallMessageAutoAnswerFromEnvironment();
    RegisterInstrumentServerClass();

    COrvixClientApp theApp;
    if (!theApp.InitInstance({arguments[0]})) {
        std::fprintf(stderr, "orvix-screenshots: the client did not open its window\n");
        theApp.ExitInstance();
        return 1;
    }
    CMainFrame* frame = theApp.MainWindow();
    RunEventsFor(kSettleMs);
    bool saved = true;
    if (want(QStringLiteral("main-window.png"))) {
        saved = Save(frame->grab().toImage(), folder, QStringLiteral("main-window.png")) && saved;
    }
    if (want(QStringLiteral("control-menu.png"))) {
        saved = ShootControlMenu(frame, folder) && saved;
    }
    if (want(QStringLiteral("service-diagnostics.png"))) {
        saved =
            ShootServiceSheet(frame, folder, QStringLiteral("service-diagnostics.png")) && saved;
    }
    if (want(QStringLiteral("valves-page.png"))) {
        saved = ShootServiceSheet(frame, folder, QStringLiteral("valves-page.png"),
                                  QStringLiteral("Valves"), kValvesSettleMs) &&
                saved;
    }
    if (want(QStringLiteral("sensors-page.png"))) {
        saved = ShootServiceSheet(frame, folder, QStringLiteral("sensors-page.png"),
                                  QStringLiteral("AutoSampler Sensors"), kSensorsSettleMs) &&
                saved;
    }
    if (want(QStringLiteral("trace-and-log.png"))) {
        saved = ShootTraceAndLog(frame, folder) && saved;
    }

    QTimer::singleShot(0, [&theApp] { theApp.CloseMainWindow(); });
    theApp.Run();
    const int exitCode = theApp.ExitInstance();
    return saved ? exitCode : 1;
}
