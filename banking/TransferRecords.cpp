#include "TransferRecords.h"

#include "Amount.h"
#include "Calendar.h"
#include "Sql.h"
#include "Transaction.h"
#include "TransferPlan.h"

#include <QFileInfo>

#include <map>

namespace banking {

qint64 TransferRecord::totalYen() const
{
    qint64 total = 0;
    for (const RecordedTransfer& transfer : transfers)
        total += transfer.yen;
    return total;
}

std::vector<TransferRecord> TransferRecords::forDay(const QDate& day)
{
    std::vector<TransferRecord> records;
    std::map<qint64, std::size_t> byNumber;
    const QString dayText = calendar::toStoredText(day);
    for (const store::Row& row : store::queryRows(db_, QStringLiteral("SELECT 記録番号, 作成日時, ファイル FROM 振込記録 WHERE 振込指定日 = ? ORDER BY 記録番号"), {dayText})) {
        byNumber.emplace(row.at(0).toLongLong(), records.size());
        records.push_back({day, QDateTime::fromString(row.at(1).toString(), Qt::ISODate), row.at(2).toString(), {}});
    }
    if (records.empty())
        return records;
    const auto lines = store::queryRows(db_,
        QStringLiteral("SELECT d.記録番号, d.支払先名, d.金額, d.日付 FROM 振込記録明細 d JOIN 振込記録 r ON r.記録番号 = d.記録番号 "
                       "WHERE r.振込指定日 = ? ORDER BY d.記録番号, d.rowid"),
        {dayText});
    for (const store::Row& row : lines) {
        const auto found = byNumber.find(row.at(0).toLongLong());
        if (found == byNumber.end())
            continue;
        records[found->second].transfers.push_back(
            {row.at(1).toString(), row.at(2).toLongLong() / ledger::Amount::kScale, calendar::fromStoredText(row.at(3).toString())});
    }
    return records;
}

void TransferRecords::add(const TransferRecord& record)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("INSERT INTO 振込記録 (振込指定日, 作成日時, 件数, 合計, ファイル) VALUES (?, ?, ?, ?, ?)"),
        {calendar::toStoredText(record.day), record.made.toString(Qt::ISODate), qint64(record.transfers.size()), record.totalYen() * ledger::Amount::kScale, record.file});
    const qint64 number = store::scalar(db_, QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
    for (const RecordedTransfer& transfer : record.transfers) {
        store::exec(db_, QStringLiteral("INSERT INTO 振込記録明細 (記録番号, 支払先名, 金額, 日付) VALUES (?, ?, ?, ?)"),
            {number, transfer.payee, transfer.yen * ledger::Amount::kScale, transfer.lineDate.isValid() ? QVariant(calendar::toStoredText(transfer.lineDate)) : QVariant()});
    }
    tx.commit();
}

QStringList alreadyWritten(const std::vector<TransferRecord>& records, const std::vector<TransferCandidate>& chosen)
{
    // Every recorded transfer, with the file it went to; each is matched once.
    struct Sent {
        const RecordedTransfer* transfer;
        const TransferRecord* record;
        bool matched = false;
    };
    std::vector<Sent> sent;
    for (const TransferRecord& record : records) {
        for (const RecordedTransfer& transfer : record.transfers)
            sent.push_back({&transfer, &record});
    }
    QStringList named;
    for (const TransferCandidate& line : chosen) {
        for (Sent& earlier : sent) {
            if (earlier.matched || earlier.transfer->payee != line.details->payee || earlier.transfer->yen != line.yen)
                continue;
            earlier.matched = true;
            named << QStringLiteral("%1（%2 作成 %3）")
                         .arg(transferText(line.details->payee, line.yen), earlier.record->made.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                             QFileInfo(earlier.record->file).fileName());
            break;
        }
    }
    return named;
}

} // namespace banking
