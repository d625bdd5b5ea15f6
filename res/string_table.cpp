#include "string_table.h"

#include <QHash>

#include <initializer_list>
#include <utility>

namespace {

// Two texts under one id would silently lose one of them.
QHash<int, QString> UniqueTable(std::initializer_list<std::pair<int, QString>> entries) {
    QHash<int, QString> table;
    for (const auto& [id, text] : entries) {
        Q_ASSERT_X(!table.contains(id), "string table", qPrintable(QString::number(id)));
        table.insert(id, text);
    }
    return table;
}

const QHash<int, QString>& Table() {
    static const QHash<int, QString> kTable = UniqueTable({
        {100, QStringLiteral("OLE initialization failed.  Make sure that the OLE libraries are "
                             "the correct version.")},
        {104, QStringLiteral("Windows sockets initialization failed.")},
        {128, QStringLiteral("Orvix Client\n\nOrvixC\n\n\nOrvixClient.Document\nOrvixC Document")},
        {3200, QStringLiteral("User Diagnostics")},
        {3201, QStringLiteral("Service Diagnostics")},
        {6100, QStringLiteral("Upgrade")},
        {6101, QStringLiteral("S-Records (*.s19 *.sre);;All Files (*)")},
        {6102, QStringLiteral("The firmware file %1 cannot be loaded:\n%2")},
        {6103, QStringLiteral("It is not a regular file")},
        {3850, QStringLiteral("%1 - %2")},
        {57345, QStringLiteral("Ready")},
        {3460, QStringLiteral("Instrument connected")},
        {3461, QStringLiteral("Instrument not answering since %1")},
        {3462, QStringLiteral("Instrument server gone")},
        {3900, QStringLiteral("Instrument on %1")},
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
        {3120, QStringLiteral("%3.1f")},
        {3121, QStringLiteral("../Orvix/data.bin")},
        {3122, QStringLiteral("Could not write %1: %2")},
        {3123, QStringLiteral("the file is in use by another program")},
        {3410, QStringLiteral("%4.1f")},
        {3411, QStringLiteral("Silk Files (*.bin);;All Files (*.*)")},
        {3412, QStringLiteral("../Orvix/")},
        {3413, QStringLiteral("%d ")},
        {3414, QStringLiteral("%d Hours")},
        {3415, QStringLiteral("-")},
        {3416, QStringLiteral("%5.1f")},
        {3417, QStringLiteral("%3.1f")},
        {61713, QStringLiteral("Please enter a number.")},
        {61715, QStringLiteral("Please enter a number between %1 and %2.")},
        {3600, QStringLiteral("Fill")},
        {3601, QStringLiteral("Dead-End")},
        {3602, QStringLiteral("Deliver")},
        {3603, QStringLiteral("In Motion")},
        {3604, QStringLiteral("Invalid")},
        {3605, QStringLiteral("-")},
        {3606, QStringLiteral("A%d")},
        {3607, QStringLiteral("ON")},
        {3608, QStringLiteral("OFF")},
        {3609, QStringLiteral("set")},
        {3610, QStringLiteral("clear")},
        {32900, QStringLiteral("Show or hide the pressure trace\nPressure Trace")},
        {32901, QStringLiteral("Show or hide the event log\nEvent Log")},
        {3700, QStringLiteral("Pressure Trace")},
        {3701, QStringLiteral("Event Log")},
        {3702, QStringLiteral("System Pressure")},
        {3703, QStringLiteral("Aux Pressure")},
        {3704, QStringLiteral("Flow Rate")},
        {3705, QStringLiteral("PSI")},
        {3706, QStringLiteral("\u00B5L/min")},
        {3707, QStringLiteral("hh:mm:ss")},
        {3708, QStringLiteral("Export CSV...")},
        {3709, QStringLiteral("Export Pressure Trace")},
        {3710, QStringLiteral("CSV files (*.csv)")},
        {3711, QStringLiteral("pressure-trace.csv")},
        {3712,
         QStringLiteral("Time,System Pressure (PSI),Aux Pressure (PSI),Flow Rate (\u00B5L/min)")},
        {3713, QStringLiteral("%1 PSI, aux %2 PSI, %3 \u00B5L/min")},
        {3714, QStringLiteral("Export...")},
        {3715, QStringLiteral("Export Event Log")},
        {3716, QStringLiteral("Text files (*.txt)")},
        {3717, QStringLiteral("event-log.txt")},
        {3718, QStringLiteral("State: %1")},
        {3719, QStringLiteral("Error: %1")},
        {3720, QStringLiteral("Cannot write %1: %2")},
        {3721, QStringLiteral("%.0f")},
        {3722, QStringLiteral("%.1f")},
        {32920,
         QStringLiteral("Write a service report of the instrument as a PDF file\nService Report")},
        {4100, QStringLiteral("Service Report")},
        {4101, QStringLiteral("PDF Files (*.pdf)")},
        {4102, QStringLiteral("service-report-%1.pdf")},
        {4103, QStringLiteral("Cannot write %1: %2")},
        {4104, QStringLiteral("Service report written to %1")},
        {4105, QStringLiteral("The instrument did not answer every request: the values it did not "
                              "give show as \u201C-\u201D.")},
        {4106, QStringLiteral("-")},
        {4107, QStringLiteral("Instrument")},
        {4108, QStringLiteral("Serial Number\nPump Version\nAutoSampler Version\n"
                              "Orvix Client Version\nReport Time\nWritten By")},
        {4109, QStringLiteral("Configuration")},
        {4110, QStringLiteral("Syringe Size\nSample Loop Volume\nNeedle Volume\nPump C\nGradient\n"
                              "Sample Heating/Cooling\nPlate Feeder\nManual Inject Valve")},
        {4111, QStringLiteral("%1 \u00B5L")},
        {4112, QStringLiteral("Installed")},
        {4113, QStringLiteral("Not installed")},
        {4114, QStringLiteral("Ternary Gradient")},
        {4115, QStringLiteral("Post Column Gradient")},
        {4116, QStringLiteral("Usage")},
        {4117, QStringLiteral("Injector Valve\nVent Valve\nStream Select\nSyringe Valve\nSyringe\n"
                              "Power On Time\nCooling On Time")},
        {4118, QStringLiteral("Syringe\nPiston Strokes\nValve Actuations")},
        {4119, QStringLiteral("Status")},
        {4120, QStringLiteral("Status\nState\nPressure\nFlow Rate\nComposition A\nComposition B\n"
                              "Composition C\nInject\nStream\nVent\nColumn Actual\nColumn Set\n"
                              "Sample Actual\nSample Set\nAux Pressure\nAux Flow Rate\nErrors")},
        {4121, QStringLiteral("None pending")},
        {4122, QStringLiteral("The last ten minutes, %1 to %2")},
        {4123, QStringLiteral("No readings in the last ten minutes.")},
        {4124, QStringLiteral("Service History")},
        {4125, QStringLiteral("Since %1")},
        {4126, QStringLiteral("Time\nKind\nUser\nHost\nSerial\nText")},
        {4127, QStringLiteral("No entries.")},
        {4128, QStringLiteral("yyyy-MM-dd hh:mm:ss 'UTC'")},
        {4129,
         QStringLiteral("The instrument did not answer: these values show as \u201C-\u201D.")},
        {4130, QStringLiteral("From the client's start (%1)")},
        {4131, QStringLiteral("From")},
        {4132, QStringLiteral("yyyy-MM-dd hh:mm:ss")},
        {4133, QStringLiteral("Not a time for --since (use 2026-12-09T08:30:00Z): %1")},
        {4134, QStringLiteral("Service report written to %1; the instrument did not answer every "
                              "request")},
        {4135, QStringLiteral("Orvix Diagnostics %1")},
        {4136, QStringLiteral("Service history")},
        {4137, QStringLiteral("yyyyMMdd-hhmm")},
        {4138, QStringLiteral("Latest reading, %1: %2")},
        {2000, QStringLiteral("Invalid Password Entered")},
        {61447, QStringLiteral("The sum of the compositions must be 100%")},
        {61449, QStringLiteral("Please enter a number in the range 0 - 40")},
        {61712, QStringLiteral("Please enter an integer.")},
    });
    return kTable;
}

} // namespace

QString LoadString(int id) {
    return Table().value(id);
}

bool HasString(int id) {
    return Table().contains(id);
}
