// Appends entries to a service history as fast as it can, printing each one's id once it is
// committed: the other client, or the client that is killed, in the history tests. With "hold"
// for the count it takes the file's write lock, prints "held" and keeps the lock until its
// standard input closes: a client stuck in a transaction.
//   orvix-history-burst PATH COUNT TAG
//   orvix-history-burst PATH hold TAG
#include "history_store.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

namespace {

int HoldWriteLock(const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    QSqlQuery query(db);
    if (!db.open() || !query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        std::fprintf(stderr, "cannot take the write lock\n");
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: orvix-history-burst PATH COUNT|hold TAG\n");
        return 2;
    }
    if (arguments[2] == QLatin1String("hold")) {
        return HoldWriteLock(arguments[1]);
    }
    CHistoryStore store;
    if (!store.Open(arguments[1], CHistoryStore::Mode::Write)) {
        std::fprintf(stderr, "%s\n", qPrintable(store.ErrorText()));
        return 1;
    }
    const int count = arguments[2].toInt();
    for (int i = 0; i < count; ++i) {
        HistoryEntry entry{0,
                           i,
                           HistoryKind::Action,
                           QStringLiteral("burst"),
                           QString(),
                           QString(),
                           arguments[3] + u' ' + QString::number(i)};
        if (!store.Append(entry)) {
            std::fprintf(stderr, "%s\n", qPrintable(store.ErrorText()));
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(entry.id));
        std::fflush(stdout);
    }
    return 0;
}
