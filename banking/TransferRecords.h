#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace SQLite {
class Database;
}

namespace banking {

struct TransferCandidate;

// One transfer of a file written: the payee, the amount in yen and the date of its line.
struct RecordedTransfer {
    QString payee;
    qint64 yen = 0;
    QDate lineDate;
};

// A transfer file written (振込記録 with its 振込記録明細): the payment date, when it was
// made, its count and total and where it went.
struct TransferRecord {
    QDate day;
    QDateTime made;
    QString file;
    std::vector<RecordedTransfer> transfers;
    qint64 totalYen() const;
};

// The transfer files written, kept in the main file so that the same money is not sent
// twice unnoticed. Reads and writes throw store::DbError; add() runs in a transaction of its
// own (a savepoint inside a larger one).
class TransferRecords {
public:
    explicit TransferRecords(SQLite::Database& main)
        : db_(main)
    {
    }

    // The files written for the payment date, oldest first.
    std::vector<TransferRecord> forDay(const QDate& day);
    void add(const TransferRecord& record);

private:
    SQLite::Database& db_;
};

// The transfers of `chosen` that a file of `records` already holds: each recorded transfer
// matches at most one chosen one, by payee and amount. The amount is the bill (a bill whose
// fee the payee bears is recorded whole, so that a fee table changed in between cannot hide
// the same bill sent twice). Named as "家賃 200,000 円（2026/12/08
// 10:15 作成 振込_20261225.txt）", in the order chosen.
QStringList alreadyWritten(const std::vector<TransferRecord>& records, const std::vector<TransferCandidate>& chosen);

} // namespace banking
