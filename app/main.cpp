#include "accessible_button.h"
#include "instrument_proxy.h"
#include "message_autoanswer.h"
#include "orvix_client_app.h"
#include "termination_signals.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Desktops match the window to its desktop entry and icon through this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvix.Diagnostics"));
    InstallMessageAutoAnswerFromEnvironment();
    InstallAccessibleButtons();
    // The instrument server is a local server on the session bus.
    RegisterInstrumentServerClass();

    COrvixClientApp theApp;
    HandleTerminationSignals([&theApp] { theApp.CloseMainWindow(); });
    if (!theApp.InitInstance(QCoreApplication::arguments())) {
        return theApp.ExitInstance();
    }
    theApp.Run();
    return theApp.ExitInstance();
}
