#include "AccountStore.h"

#include "Sql.h"
#include "Transaction.h"

namespace banking {

namespace {

const QString kPayeeColumns = QStringLiteral("支払先名, 銀行番号, 銀行名, 支店番号, 支店名, 預金種目, 口座番号, 口座名義, 顧客コード");

// The account's six columns (bank code and name, branch code and name, type, number), from
// the row's column first on.
BankAccount accountFromRow(const store::Row& row, int first)
{
    BankAccount account;
    account.bankCode = row.at(first).toString();
    account.bankName = row.at(first + 1).toString();
    account.branchCode = row.at(first + 2).toString();
    account.branchName = row.at(first + 3).toString();
    account.type = accountTypeFrom(row.at(first + 4).toInt());
    account.number = row.at(first + 5).toString();
    return account;
}

PayeeAccount payeeFromRow(const store::Row& row)
{
    PayeeAccount details;
    details.payee = row.at(0).toString();
    details.account = accountFromRow(row, 1);
    details.account.holder = row.at(7).toString();
    details.customerCode = row.at(8).toString();
    return details;
}

} // namespace

PayeeAccounts AccountStore::payeeAccounts()
{
    PayeeAccounts accounts;
    const QString listed = QStringLiteral("SELECT %1 FROM 支払先口座 WHERE 支払先名 IN (SELECT 支払先名 FROM 支払先マスタ WHERE 支払先名 IS NOT NULL) ORDER BY 支払先名");
    for (const store::Row& row : store::queryRows(db_, listed.arg(kPayeeColumns))) {
        PayeeAccount details = payeeFromRow(row);
        const QString name = details.payee;
        accounts.emplace(name, std::move(details));
    }
    return accounts;
}

QStringList AccountStore::unlistedPayees()
{
    QStringList names;
    const auto rows = store::queryRows(db_,
        QStringLiteral("SELECT 支払先名 FROM 支払先口座 WHERE 支払先名 NOT IN (SELECT 支払先名 FROM 支払先マスタ WHERE 支払先名 IS NOT NULL) ORDER BY 支払先名"));
    for (const store::Row& row : rows)
        names << row.at(0).toString();
    return names;
}

std::optional<PayeeAccount> AccountStore::payeeAccount(const QString& payee)
{
    const auto rows = store::queryRows(db_, QStringLiteral("SELECT %1 FROM 支払先口座 WHERE 支払先名 = ? ORDER BY 支払先名").arg(kPayeeColumns), {payee});
    if (rows.empty())
        return std::nullopt;
    return payeeFromRow(rows.front());
}

void AccountStore::savePayeeAccount(const PayeeAccount& details)
{
    const BankAccount& account = details.account;
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("INSERT OR REPLACE INTO 支払先口座 (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(kPayeeColumns),
        {details.payee, account.bankCode, account.bankName, account.branchCode, account.branchName, static_cast<int>(account.type), account.number,
            account.holder, details.customerCode});
    tx.commit();
}

void AccountStore::removePayeeAccount(const QString& payee)
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 支払先口座 WHERE 支払先名 = ?"), {payee});
    tx.commit();
}

std::optional<Sender> AccountStore::sender()
{
    const auto rows = store::queryRows(db_,
        QStringLiteral("SELECT 依頼人コード, 依頼人名, 銀行番号, 銀行名, 支店番号, 支店名, 預金種目, 口座番号, 改行なし FROM 振込依頼人 ORDER BY rowid LIMIT 1"));
    if (rows.empty())
        return std::nullopt;
    const store::Row& row = rows.front();
    Sender sender;
    sender.code = row.at(0).toString();
    sender.name = row.at(1).toString();
    sender.account = accountFromRow(row, 2);
    sender.noLineEnds = row.at(8).toLongLong() != 0;
    return sender;
}

void AccountStore::saveSender(const Sender& sender)
{
    const BankAccount& account = sender.account;
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 振込依頼人"));
    store::exec(db_, QStringLiteral("INSERT INTO 振込依頼人 (依頼人コード, 依頼人名, 銀行番号, 銀行名, 支店番号, 支店名, 預金種目, 口座番号, 改行なし) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {sender.code, sender.name, account.bankCode, account.bankName, account.branchCode, account.branchName, static_cast<int>(account.type), account.number,
            sender.noLineEnds ? 1 : 0});
    tx.commit();
}

void AccountStore::removeSender()
{
    store::Transaction tx(db_);
    store::exec(db_, QStringLiteral("DELETE FROM 振込依頼人"));
    tx.commit();
}

} // namespace banking
