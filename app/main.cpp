#include "accessible_button.h"
#include "com.h"
#include "command_line.h"
#include "instrument_proxy.h"
#include "message_autoanswer.h"
#include "orvix_client_app.h"
#include "termination_signals.h"

#include <QApplication>

namespace {

int RunApplication() {
    COrvixClientApp theApp;
    HandleTerminationSignals([&theApp] { theApp.CloseMainWindow(); });
    if (!theApp.InitInstance(QCoreApplication::arguments())) {
        return theApp.ExitInstance();
    }
    theApp.Run();
    return theApp.ExitInstance();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Desktops match the window to its desktop entry and icon through this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvix.Diagnostics"));
    InstallMessageAutoAnswerFromEnvironment();
    InstallAccessibleButtons();
    // The instrument server is a local server on the session bus, this computer's or the one
    // the command line names.
    RegisterInstrumentServerClass(CCommandLineInfo::Parse(QCoreApplication::arguments()).server);
    const int exitCode = RunApplication();
    // A remote bus goes while Qt's bus machinery is still there.
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    return exitCode;
}
