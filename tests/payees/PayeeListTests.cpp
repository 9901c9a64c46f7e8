#include "PayeeList.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <SQLiteCpp/Database.h>

#include <QSignalSpy>

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

TEST(PayeeList, TypedNamesGoInBetweenTheirNeighboursAndTheListIsRebuiltOnlyWhenNoRowidIsLeft)
{
    Files f;
    for (const char* name : {"山田商店", "B社", "", "A社", "B社", "さとう"})
        store::exec(f.main, "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
    WorkTableModel source;
    source.bind(&f.work, "w支払先名");
    AddComb支払先名(*f.session, &source);
    QSignalSpy reset(&source, &QAbstractItemModel::modelReset);
    const auto shown = [&] {
        QStringList names;
        for (int row = 0; row < source.storedRowCount(); ++row)
            names << source.value(row, 0).toString();
        return names.join(',');
    };

    // Listed names are left alone; new ones (each once) go in at their places, in the file
    // and in the model alike, where a rebuild with them on the sheet places them.
    const QStringList typed{"C社", "A社", "あおき", "C社", "ｲﾄｳ", "山田商店", "与謝野"};
    EXPECT_FALSE(offerTypedNames(*f.session, source, typed, typed));
    EXPECT_EQ(reset.count(), 0);
    const QString placed = listed(f.work);
    EXPECT_EQ(shown(), placed);
    EXPECT_EQ(source.storedRowCount(), 10);
    AddComb支払先名(*f.session, &source, typed);
    EXPECT_EQ(listed(f.work), placed);
    EXPECT_EQ(shown(), placed);

    // Each name after the last one typed halves the room left before the next: once none
    // is left, the list is rebuilt once, and names go in between again after it.
    reset.clear();
    QStringList onSheet = typed;
    int rebuilds = 0;
    for (int i = 0; i < 40; ++i) {
        onSheet << QStringLiteral("D社%1").arg(i, 2, 10, QChar('0'));
        rebuilds += offerTypedNames(*f.session, source, {onSheet.back()}, onSheet) ? 1 : 0;
    }
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(source.storedRowCount(), 50);
    const QString grown = listed(f.work);
    EXPECT_EQ(shown(), grown);
    EXPECT_TRUE(grown.contains("C社,D社00,D社01,D社02,")) << grown.toStdString();
    AddComb支払先名(*f.session, &source, onSheet);
    EXPECT_EQ(listed(f.work), grown);

    // A block of names for one place, given at once, shares its room: no rebuild.
    QStringList block;
    for (int i = 299; i >= 0; --i)
        block << QStringLiteral("E社%1").arg(i, 3, 10, QChar('0'));
    onSheet << block;
    EXPECT_FALSE(offerTypedNames(*f.session, source, block, onSheet));
    EXPECT_EQ(source.storedRowCount(), 350);
    const QString blocked = listed(f.work);
    EXPECT_EQ(shown(), blocked);
    EXPECT_TRUE(blocked.contains("D社39,E社000,E社001,")) << blocked.toStdString();
    AddComb支払先名(*f.session, &source, onSheet);
    EXPECT_EQ(listed(f.work), blocked);

    // A list written rowid after rowid by something else is rebuilt at the first new name.
    store::exec(f.work, "DELETE FROM w支払先名");
    store::exec(f.work, "INSERT INTO w支払先名 (支払先名) VALUES ('A社'), ('B社')");
    source.refresh();
    EXPECT_TRUE(offerTypedNames(*f.session, source, {"A社1"}, {"A社1"}));
    EXPECT_EQ(source.storedRowCount(), 7);
    EXPECT_TRUE(listed(f.work).contains("A社,A社1,B社,B社")) << listed(f.work).toStdString();
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

