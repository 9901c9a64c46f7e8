#include "AllDelete.h"

#include "Book.h"
#include "PaymentRules.h"
#include "Sql.h"
#include "Transaction.h"

void AllDelete(SQLite::Database& main)
{
    store::Transaction tx(main);
    for (const char* table : {"支払先マスタ", "自社情報", "支払先口座", "振込依頼人", "振込記録", "振込記録明細", "振込手数料表", "振込手数料設定", "支払先手数料負担"}) {
        const QString name = QString::fromUtf8(table);
        tx.step(QStringLiteral("AllDelete ") + name, [&] { store::exec(main, QStringLiteral("DELETE FROM ") + store::quoteIdentifier(name)); });
    }
    for (const QString& name : {ledger::kPaymentRuleTable, ledger::kPaymentSettingTable})
        tx.step(QStringLiteral("AllDelete ") + name, [&] { store::exec(main, QStringLiteral("DELETE FROM ") + store::quoteIdentifier(name)); });
    tx.step(QStringLiteral("AllDelete the book's lines"), [&] { ledger::Book(main).deleteAll(); });
    tx.commit();
}
