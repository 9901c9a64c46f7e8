// The payee tables' owner: registration of the page's copy, a deletion whose second half
// fails, and the signal after each change of the master.
#include "LedgerFixture.h"
#include "PayeeTable.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using ledger::PayeeTable;

namespace {

QString all(SQLite::Database& db, const char* sql)
{
    return store::scalar(db, QString::fromUtf8(sql)).toString();
}

// A master of `names` with bank details and a rule for each, read into the page's copy.
struct Payees : ledgertest::Files {
    PayeeTable table{*session};
    explicit Payees(const QStringList& names)
    {
        for (const QString& name : names) {
            store::exec(main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
            store::exec(main, "INSERT INTO 支払先口座 (支払先名, 口座番号) VALUES (?, ?)", {name, "No." + name});
            store::exec(main, "INSERT INTO 支払日規則 (支払先名, 支払日) VALUES (?, 25)", {name});
        }
        table.watchCopy();
        table.readIntoCopy();
    }
    QString details() { return all(main, "SELECT group_concat(支払先名 || '=' || 口座番号, ',') FROM (SELECT * FROM 支払先口座 ORDER BY 支払先名)"); }
    QString rules() { return all(main, "SELECT group_concat(支払先名, ',') FROM (SELECT * FROM 支払日規則 ORDER BY 支払先名)"); }
};

} // namespace

TEST(PayeeTable, RegisteringTheCopyCarriesDetailsToRenamedPayeesAndDropsThoseOfRemovedOnes)
{
    Payees p({"A", "B", "C"});
    QSignalSpy changed(&p.table, &PayeeTable::payeesChanged);
    // A renamed, C deleted from the copy, D new; a line of C's rowid must not look renamed.
    const auto lines = p.table.copyLines();
    ASSERT_EQ(lines.size(), 3u);
    ledger::PayeeCopyLine renamed = lines[0];
    renamed.name = "A2";
    ledger::PayeeCopyChange change;
    change.write = {renamed};
    change.take = {lines[2].rowId};
    change.put = {{0, false, QStringLiteral("D"), false, {}}};
    p.table.changeCopy(change);
    p.table.enterCopy();
    EXPECT_EQ(p.table.names(), (QStringList{"A2", "B", "D"}));
    EXPECT_EQ(p.details(), "A2=No.A,B=No.B");
    EXPECT_EQ(p.rules(), "A2,B");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(p.table.holds("D"));
    EXPECT_FALSE(p.table.holds("C"));
}

TEST(PayeeTable, WhenTheCopyCannotFollowADeletionTheMasterKeepsItTheTicksStayAndTheChangeIsTold)
{
    Payees p({"A", "B", "C"});
    store::exec(p.work, "UPDATE w支払先マスタ SET チェック = 1 WHERE 支払先名 IN ('A', 'C')");
    store::exec(p.work, "CREATE TEMP TRIGGER refuse BEFORE DELETE ON main.w支払先マスタ BEGIN SELECT RAISE(ABORT, 'refused'); END");
    QSignalSpy changed(&p.table, &PayeeTable::payeesChanged);
    EXPECT_THROW(p.table.removeTicked(), store::DbError);
    EXPECT_EQ(p.table.names(), QStringList{"B"});
    EXPECT_EQ(p.details(), "B=No.B");
    EXPECT_EQ(all(p.work, "SELECT count(*) FROM w支払先マスタ WHERE チェック = 1"), "2");
    EXPECT_EQ(changed.count(), 1);

    // Repeated once the copy can be written: the ticked lines go, and what is put back is
    // what this run took (the master's rows already went).
    store::exec(p.work, "DROP TRIGGER refuse");
    const ledger::RemovedPayees removed = p.table.removeTicked();
    EXPECT_TRUE(removed.master.empty());
    ASSERT_EQ(removed.copy.size(), 2u);
    EXPECT_EQ(all(p.work, "SELECT group_concat(支払先名, ',') FROM w支払先マスタ"), "B");
    p.table.putBack(removed);
    EXPECT_EQ(all(p.work, "SELECT group_concat(支払先名 || チェック, ',') FROM (SELECT * FROM w支払先マスタ ORDER BY rowid)"), "A1,B0,C1");
    EXPECT_EQ(changed.count(), 3);
}

TEST(PayeeTable, AddingANameTheMasterHoldsChangesNothingAndTellsNothing)
{
    Payees p({"A"});
    QSignalSpy changed(&p.table, &PayeeTable::payeesChanged);
    EXPECT_FALSE(p.table.add("A"));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(p.table.add("B"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(p.table.names(), (QStringList{"A", "B"}));
}
