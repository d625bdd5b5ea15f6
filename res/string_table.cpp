#include "string_table.h"

#include <QHash>

namespace {

const QHash<int, QString>& Table() {
    static const QHash<int, QString> kTable{
        {100, QStringLiteral("OLE initialization failed.  Make sure that the OLE libraries are "
                             "the correct version.")},
        {104, QStringLiteral("Windows sockets initialization failed.")},
        {128, QStringLiteral("Orvix Client\n\nOrvixC\n\n\nOrvixClient.Document\nOrvixC Document")},
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
