#include "string_table.h"

#include <QHash>

namespace {

const QHash<int, QString>& Table() {
    static const QHash<int, QString> kTable{
        {100, QStringLiteral("OLE initialization failed.  Make sure that the OLE libraries are "
                             "the correct version.")},
        {104, QStringLiteral("Windows sockets initialization failed.")},
        {128, QStringLiteral("Orvix Client\n\nOrvixC\n\n\nOrvixClient.Document\nOrvixC Document")},
        {3200, QStringLiteral("User Diagnostics")},
        {3201, QStringLiteral("Service Diagnostics")},
        {57345, QStringLiteral("Ready")},
        {57600, QStringLiteral("Create a new document\nNew")},
        {57601, QStringLiteral("Open an existing document\nOpen")},
        {57603, QStringLiteral("Save the active document\nSave")},
        {57604, QStringLiteral("Save the active document with a new name\nSave As")},
        {57606, QStringLiteral("Change the printer and printing options\nPage Setup")},
        {57607, QStringLiteral("Print the active document\nPrint")},
        {57609, QStringLiteral("Display full pages\nPrint Preview")},
        {57612, QStringLiteral("Send the active document through electronic mail\nSend Mail")},
        {57616, QStringLiteral("Open this document")},
        {57634, QStringLiteral("Copy the selection and put it on the Clipboard\nCopy")},
        {57635, QStringLiteral("Cut the selection and put it on the Clipboard\nCut")},
        {57637, QStringLiteral("Insert Clipboard contents\nPaste")},
        {57643, QStringLiteral("Undo the last action\nUndo")},
        {57664, QStringLiteral("Display program information, version number and copyright\nAbout")},
        {57665, QStringLiteral("Quit the application; prompts to save documents\nExit")},
        {57680, QStringLiteral("Switch to the next window pane\nNext Pane")},
        {57681, QStringLiteral("Switch back to the previous window pane\nPrevious Pane")},
        {59137, QStringLiteral("CAP")},
        {59138, QStringLiteral("NUM")},
        {59139, QStringLiteral("SCRL")},
        {59392, QStringLiteral("Show or hide the toolbar\nToggle ToolBar")},
        {59393, QStringLiteral("Show or hide the status bar\nToggle StatusBar")},
        {32775, QStringLiteral("Change Flow\nChange Flow")},
        {32806, QStringLiteral("Reset Communications\nReset Communications")},
        {32810, QStringLiteral("Dry Prime\nDry Prime")},
        {32811, QStringLiteral("Wet Prime\nWet Prime")},
        {32812, QStringLiteral("User Diagnostics\nUser Diagnostics")},
        {32813, QStringLiteral("Service Diagnostics\nService Diagnostics")},
        {3100, QStringLiteral("%6.0f PSI")},
        {3101, QStringLiteral("%6.2f \u00B5L/min")},
        {3102, QStringLiteral("%4.1f %%A%d")},
        {3103, QStringLiteral("%4.1f %%B")},
        {3104, QStringLiteral("%4.1f %%C")},
        {3105, QStringLiteral("%4.1f\u00B0C")},
        {3106, QStringLiteral("Inject")},
        {3107, QStringLiteral("Load")},
        {3108, QStringLiteral("Position 1")},
        {3109, QStringLiteral("Position 2")},
        {3110, QStringLiteral("Vent")},
        {3111, QStringLiteral("System")},
        {32900, QStringLiteral("Show or hide the pressure trace\nPressure Trace")},
        {32901, QStringLiteral("Show or hide the event log\nEvent Log")},
        {3400, QStringLiteral("Pressure Trace")},
        {3401, QStringLiteral("Event Log")},
        {3402, QStringLiteral("System Pressure")},
        {3403, QStringLiteral("Aux Pressure")},
        {3404, QStringLiteral("Flow Rate")},
        {3405, QStringLiteral("PSI")},
        {3406, QStringLiteral("\u00B5L/min")},
        {3407, QStringLiteral("hh:mm:ss")},
        {3408, QStringLiteral("Export CSV...")},
        {3409, QStringLiteral("Export Pressure Trace")},
        {3410, QStringLiteral("CSV files (*.csv)")},
        {3411, QStringLiteral("pressure-trace.csv")},
        {3412,
         QStringLiteral("Time,System Pressure (PSI),Aux Pressure (PSI),Flow Rate (\u00B5L/min)")},
        {3413, QStringLiteral("%1 PSI, aux %2 PSI, %3 \u00B5L/min")},
        {3414, QStringLiteral("Export...")},
        {3415, QStringLiteral("Export Event Log")},
        {3416, QStringLiteral("Text files (*.txt)")},
        {3417, QStringLiteral("event-log.txt")},
        {3418, QStringLiteral("State: %1")},
        {3419, QStringLiteral("Error: %1")},
        {3420, QStringLiteral("Cannot write %1: %2")},
        {3421, QStringLiteral("%.0f")},
        {3422, QStringLiteral("%.1f")},
        {2000, QStringLiteral("Invalid Password Entered")},
        {61447, QStringLiteral("The sum of the compositions must be 100%")},
        {61449, QStringLiteral("Please enter a number in the range 0 - 40")},
        {61712, QStringLiteral("Please enter an integer.")},
    };
    return kTable;
}

} // namespace

QString LoadString(int id) { return Table().value(id); }

bool HasString(int id) { return Table().contains(id); }
