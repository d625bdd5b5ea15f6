#include "string_table.h"

#include <QHash>

namespace {

const QHash<int, QString>& Table() {
    static const QHash<int, QString> kTable{
        {100, QStringLiteral("OLE initialization failed.  Make sure that the OLE libraries are "
                             "the correct version.")},
        {104, QStringLiteral("Windows sockets initialization failed.")},
        {128, QStringLiteral("Orvix Client\n\nOrvixC\n\n\nOrvixClient.Document\nOrvixC Document")},
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
        {61447, QStringLiteral("The sum of the compositions must be 100%")},
        {61449, QStringLiteral("Please enter a number in the range 0 - 40")},
        {61712, QStringLiteral("Please enter an integer.")},
    };
    return kTable;
}

} // namespace

QString LoadString(int id) { return Table().value(id); }

bool HasString(int id) { return Table().contains(id); }
