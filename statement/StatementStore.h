#pragma once

// What the book keeps about bank statements, in the main file: the columns of each bank's
// CSV layout, the names statements gave payees, the statement lines already reconciled
// and the day window of matching. Reads and writes throw store::DbError; each write runs in
// a transaction of its own (a savepoint inside a larger one).

#include "CsvStatement.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <optional>
#include <vector>

namespace SQLite {
class Database;
}

namespace statement {

// How a reconciled statement line was settled.
enum class Settlement { Matched, Added, Left };

struct SettledLine {
    QString key; // lineKeys()
    QDate date;
    qint64 yen = 0;
    Settlement how = Settlement::Matched;
};

// A name a statement gave a payee's withdrawal, confirmed by the user.
struct PayeeName {
    QString payee;
    QString statementName;
};

class StatementStore {
public:
    static constexpr int kDefaultDayWindow = 3;

    explicit StatementStore(SQLite::Database& main)
        : db_(main)
    {
    }

    // The columns remembered for CSV files with these column titles.
    std::optional<CsvColumns> csvColumns(const QStringList& titles);
    void saveCsvColumns(const QStringList& titles, const CsvColumns& columns);

    // The names statements gave each payee before, by payee.
    QHash<QString, QStringList> payeeNames();
    void addPayeeNames(const std::vector<PayeeName>& names);

    // The keys among those of lines dated from..to that were reconciled before.
    QSet<QString> settledKeys(const QDate& from, const QDate& to);
    // Records reconciled lines and the names confirmed with them, in one transaction.
    void settle(const std::vector<SettledLine>& lines, const std::vector<PayeeName>& names, const QDateTime& when);
    // Forgets reconciled lines again (their step of the sheet was undone); the names stay.
    void forget(const std::vector<SettledLine>& lines);

    int dayWindow();
    void setDayWindow(int days);

private:
    SQLite::Database& db_;
};

} // namespace statement
