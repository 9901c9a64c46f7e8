#include "PayeeList.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace payees;

namespace {

struct Files {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    SQLite::Database& main = session->mainDb();
    SQLite::Database& work = session->workDb();
};

QString row(SQLite::Database& db, const QString& sql)
{
    QStringList values;
    const auto rows = store::queryRows(db, sql);
    for (const QVariant& value : rows.front())
        values << value.toString();
    return values.join('|');
}

QString listed(SQLite::Database& work)
{
    return row(work, "SELECT group_concat(支払先名, ',') FROM (SELECT 支払先名 FROM w支払先名 ORDER BY rowid)");
}

} // namespace

TEST(PayeeList, TheDropDownIsRebuiltFromTheMasterSortedWithDuplicatesAndOnlyOnRebuild)
{
    Files f;
    for (const char* name : {"山田商店", "B社", "O'Brien", "", "A社", "B社"})
        store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
    store::exec(f.work, "INSERT INTO w支払先名 (支払先名) VALUES ('left over')");
    WorkTableModel source;
    source.bind(&f.work, "w支払先名");
    AddComb支払先名(*f.session, &source);
    EXPECT_EQ(listed(f.work), ",A社,B社,B社,O'Brien,山田商店");
    EXPECT_EQ(source.rowCount(), 6);

    // A name registered later reaches the list with the next rebuild, in name order.
    EXPECT_TRUE(Add支払先(*f.session, "C社"));
    EXPECT_EQ(listed(f.work), ",A社,B社,B社,O'Brien,山田商店");
    AddComb支払先名(*f.session, &source);
    EXPECT_EQ(listed(f.work), ",A社,B社,B社,C社,O'Brien,山田商店");
    EXPECT_EQ(source.rowCount(), 7);
}

TEST(PayeeList, TheDropDownAndThePayeePageListNamesInJapaneseOrder)
{
    Files f;
    for (const char* name : {"山田商店", "さとう", "カトウ", "ｲﾄｳ", "あおき"})
        store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
    AddComb支払先名(*f.session, nullptr);
    EXPECT_EQ(listed(f.work), "あおき,ｲﾄｳ,カトウ,さとう,山田商店");
    ledger::PayeeTable(*f.session).readIntoCopy();
    EXPECT_EQ(row(f.work, "SELECT group_concat(支払先名, ',') FROM (SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid)"), "あおき,ｲﾄｳ,カトウ,さとう,山田商店");
    // Right after the page read the master, the drop-down list is copied from the page
    // without a second sort, and is the same list.
    store::exec(f.work, "DELETE FROM w支払先名");
    copyPayeeListFromPage(*f.session, nullptr);
    EXPECT_EQ(listed(f.work), "あおき,ｲﾄｳ,カトウ,さとう,山田商店");
}

TEST(PayeeList, Add支払先RegistersAnExactNameOnceWhateverItHolds)
{
    Files f;
    // Letter case and full-width letters make other names.
    for (const char* name : {"O'Brien's \"shop\"", "o'brien's \"shop\"", "ＡＢＣ", "ABC"}) {
        EXPECT_TRUE(Add支払先(*f.session, QString::fromUtf8(name))) << name;
        EXPECT_FALSE(Add支払先(*f.session, QString::fromUtf8(name))) << name;
    }
    // Blanks around a name, ASCII or full-width, are not kept: it is the name already
    // there. An empty or blank name, a name past 100 characters or with a control
    // character is not added at all.
    for (const char* name : {"O'Brien's \"shop\" ", "　ABC\t", "", "  ", "A\x01"})
        EXPECT_FALSE(Add支払先(*f.session, QString::fromUtf8(name))) << name;
    EXPECT_FALSE(Add支払先(*f.session, QString(101, QChar(u'x'))));
    EXPECT_TRUE(Add支払先(*f.session, QString(100, QChar(u'x'))));
    EXPECT_EQ(row(f.main, "SELECT count(*), count(支払先名), sum(支払先名 = '') FROM 支払先マスタ"), "5|5|0");
    // A name already there twice is not added a third time.
    store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES ('twice'), ('twice')");
    EXPECT_FALSE(Add支払先(*f.session, "twice"));
}

