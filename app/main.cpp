#include "accessible_button.h"
#include "com.h"
#include "command_line.h"
#include "history_settings.h"
#include "history_verify.h"
#include "instrument_proxy.h"
#include "message_autoanswer.h"
#include "orvix_client_app.h"
#include "termination_signals.h"

#include <QApplication>

#include <cstdio>

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

// Needs no window and no instrument: a script or an auditor runs it anywhere.
int VerifyHistoryFile(int argc, char** argv, const QString& path) {
    const QCoreApplication application(argc, argv);
    const HistoryVerification result = VerifyHistory(path.isEmpty() ? HistoryFilePath() : path);
    std::printf("%s\n", result.text.toUtf8().constData());
    return result.intact ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (const auto verified = CCommandLineInfo::Parse(arguments).verifyHistory) {
        return VerifyHistoryFile(argc, argv, *verified);
    }
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
