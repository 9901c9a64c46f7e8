#include "StatementStore.h"

#include "Amount.h"
#include "Calendar.h"
#include "Sql.h"
#include "Transaction.h"

namespace statement {

namespace {

QString titlesKey(const QStringList& titles)
{
    return titles.join(u'\t');
}

QString settlementText(Settlement how)
{
    switch (how) {
    case Settlement::Matched: return QStringLiteral("消込");
    case Settlement::Added: return QStringLiteral("追加");
    case Settlement::Left: return QStringLiteral("見送り");
    }
    return {};
}

} // namespace

std::optional<CsvColumns> StatementStore::csvColumns(const QStringList& titles)
{
    const auto rows = store::queryRows(db_,
        QStringLiteral("SELECT 日付列, 出金列, 入金列, 摘要列, 照会番号列 FROM 明細CSV列 WHERE 見出し = ? ORDER BY 見出し"), {titlesKey(titles)});
    if (rows.empty())
        return std::nullopt;
    const store::Row& row = rows.front();
    return CsvColumns{row.at(0).toInt(), row.at(1).toInt(), row.at(2).toInt(), row.at(3).toInt(), row.at(4).isNull() ? -1 : row.at(4).toInt()};
}

void StatementStore::saveCsvColumns(const QStringList& titles, const CsvColumns& columns)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("INSERT OR REPLACE INTO 明細CSV列 (見出し, 日付列, 出金列, 入金列, 摘要列, 照会番号列) VALUES (?, ?, ?, ?, ?, ?)"),
        {titlesKey(titles), columns.date, columns.withdrawal, columns.deposit, columns.description,
            columns.reference >= 0 ? QVariant(columns.reference) : QVariant()});
    tx.commit();
}

QHash<QString, QStringList> StatementStore::payeeNames()
{
    QHash<QString, QStringList> names;
    for (const store::Row& row : store::queryRows(db_, QStringLiteral("SELECT 支払先名, 明細名 FROM 明細名義 ORDER BY 支払先名, 明細名")))
        names[row.at(0).toString()] << row.at(1).toString();
    return names;
}

void StatementStore::addPayeeNames(const std::vector<PayeeName>& names)
{
    store::Transaction tx(db_);
    for (const PayeeName& name : names)
        store::exec(db_, QStringLiteral("INSERT OR IGNORE INTO 明細名義 (支払先名, 明細名) VALUES (?, ?)"), {name.payee, name.statementName});
    tx.commit();
}

QSet<QString> StatementStore::settledKeys(const QDate& from, const QDate& to)
{
    QSet<QString> keys;
    for (const store::Row& row : store::queryRows(db_, QStringLiteral("SELECT 照合キー FROM 明細消込 WHERE 勘定日 BETWEEN ? AND ? ORDER BY 照合キー"),
             {calendar::toStoredText(from), calendar::toStoredText(to)}))
        keys.insert(row.at(0).toString());
    return keys;
}

void StatementStore::settle(const std::vector<SettledLine>& lines, const std::vector<PayeeName>& names, const QDateTime& when)
{
    store::Transaction tx(db_);
    const QString made = when.toString(Qt::ISODate);
    for (const SettledLine& line : lines) {
        store::exec(db_, QStringLiteral("INSERT OR REPLACE INTO 明細消込 (照合キー, 勘定日, 金額, 処理, 消込日時) VALUES (?, ?, ?, ?, ?)"),
            {line.key, calendar::toStoredText(line.date), line.yen * ledger::Amount::kScale, settlementText(line.how), made});
    }
    addPayeeNames(names);
    tx.commit();
}

void StatementStore::forget(const std::vector<SettledLine>& lines)
{
    store::Transaction tx(db_);
    for (const SettledLine& line : lines)
        store::exec(db_, QStringLiteral("DELETE FROM 明細消込 WHERE 照合キー = ?"), {line.key});
    tx.commit();
}

int StatementStore::dayWindow()
{
    const QVariant days = store::scalar(db_, QStringLiteral("SELECT 営業日幅 FROM 明細照合設定 ORDER BY rowid LIMIT 1"));
    return days.isNull() ? kDefaultDayWindow : days.toInt();
}

void StatementStore::setDayWindow(int days)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 明細照合設定"));
    store::exec(db_, QStringLiteral("INSERT INTO 明細照合設定 (営業日幅) VALUES (?)"), {days});
    tx.commit();
}

} // namespace statement
