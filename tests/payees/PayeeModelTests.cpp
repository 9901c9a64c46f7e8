// The payee page's model: each edit one step of its history, written to the files at once,
// undone and done again exactly.
#include "PayeeModel.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>

#include <QSignalSpy>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <functional>

using payees::PayeeModel;

namespace {

constexpr int kTick = PayeeModel::kTickColumn;
constexpr int kName = PayeeModel::kNameColumn;

// A book of three payees read into the page's copy; B社 has bank details and a rule.
struct Book {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    ledger::PayeeTable table{*session};
    PayeeModel model{table};

    Book()
    {
        for (const char* name : {"A社", "B社", "C社"})
            store::exec(session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {QString::fromUtf8(name)});
        store::exec(session->mainDb(), "INSERT INTO 支払先口座 (支払先名, 銀行番号, 口座番号) VALUES ('B社', '0001', '1234567')");
        store::exec(session->mainDb(), "INSERT INTO 支払日規則 (支払先名, 支払日) VALUES ('B社', 25)");
        table.watchCopy();
        table.readIntoCopy();
        model.reload();
    }

    QString all(SQLite::Database& db, const char* sql) { return store::scalar(db, QString::fromUtf8(sql)).toString(); }
    // Everything the payee tables hold, rowids included.
    std::string stored()
    {
        return QStringList{all(session->mainDb(), "SELECT group_concat(rowid || ':' || ifnull(支払先名, '-'), ',') FROM (SELECT rowid, 支払先名 FROM 支払先マスタ ORDER BY rowid)"),
            all(session->workDb(),
                "SELECT group_concat(r, ',') FROM (SELECT w.rowid || ':' || w.チェック || ':' || ifnull(w.支払先名, '-') || '<' || ifnull(o.支払先名, '-') AS r "
                "FROM w支払先マスタ w LEFT JOIN w支払先元名 o ON o.rowid = w.rowid ORDER BY w.rowid)"),
            all(session->mainDb(), "SELECT group_concat(支払先名 || '/' || 銀行番号 || '/' || 口座番号, ',') FROM 支払先口座"),
            all(session->mainDb(), "SELECT group_concat(支払先名 || '/' || 支払日, ',') FROM 支払日規則")}
            .join(u'|')
            .toStdString();
    }
    QStringList shown()
    {
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << (model.ticked(row) ? "✓" : "") + model.data(model.index(row, kName)).toString();
        return names;
    }
    bool type(int row, const QString& text) { return model.setData(model.index(row, kName), text); }
    bool tick(int row) { return model.setData(model.index(row, kTick), Qt::Checked, Qt::CheckStateRole); }
};

struct Case {
    const char* what;
    std::function<bool(Book&)> command;
    QStringList shownAfter;
    std::string storedAfter;
};

} // namespace

TEST(PayeeModel, EachEditIsOneStepThatUndoAndRedoWriteBackExactly)
{
    const std::string details = "|B社/0001/1234567|B社/25";
    const std::vector<Case> cases = {
        {"a typed name, without its blanks", [](Book& b) { return b.type(1, "　B商事 "); }, {"A社", "B商事", "C社", ""},
            "1:A社,2:B社,3:C社|1:0:A社<A社,2:0:B商事<B社,3:0:C社<C社" + details},
        {"a tick", [](Book& b) { return b.tick(2); }, {"A社", "B社", "✓C社", ""}, "1:A社,2:B社,3:C社|1:0:A社<A社,2:0:B社<B社,3:1:C社<C社" + details},
        {"a new line", [](Book& b) { return b.type(3, "D社"); }, {"A社", "B社", "C社", "D社", ""},
            "1:A社,2:B社,3:C社|1:0:A社<A社,2:0:B社<B社,3:0:C社<C社,4:0:D社<-" + details},
        {"a line deleted", [](Book& b) { return b.model.removeLines({0}); }, {"B社", "C社", ""}, "1:A社,2:B社,3:C社|2:0:B社<B社,3:0:C社<C社" + details},
        {"a paste over a line and past the last", [](Book& b) { return b.model.pasteNames({{2, "X"}, {3, "Y"}, {4, "Z"}}); }, {"A社", "B社", "X", "Y", "Z", ""},
            "1:A社,2:B社,3:C社|1:0:A社<A社,2:0:B社<B社,3:0:X<C社,4:0:Y<-,5:0:Z<-" + details},
        {"クリア", [](Book& b) { return b.model.clear(); }, {""}, "1:A社,2:B社,3:C社|" + details},
        {"a ticked payee deleted with its details", [](Book& b) { return b.tick(1) && b.model.removeTickedPayees(); }, {"A社", "C社", ""},
            "1:A社,3:C社|1:0:A社<A社,3:0:C社<C社||"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Book b;
        const QStringList shownBefore = b.shown();
        const std::string storedBefore = b.stored();
        QSignalSpy masterChanged(&b.table, &ledger::PayeeTable::payeesChanged);
        ASSERT_TRUE(c.command(b));
        EXPECT_EQ(b.shown(), c.shownAfter);
        EXPECT_EQ(b.stored(), c.storedAfter);
        // The tick before a deletion is a step of its own: the deletion is undone first.
        const int steps = b.model.history()->count();
        b.model.history()->undo();
        if (steps == 2) {
            EXPECT_EQ(b.shown(), (QStringList{"A社", "✓B社", "C社", ""}));
            b.model.history()->undo();
        }
        EXPECT_EQ(b.shown(), shownBefore);
        EXPECT_EQ(b.stored(), storedBefore);
        while (b.model.history()->canRedo())
            b.model.history()->redo();
        EXPECT_EQ(b.shown(), c.shownAfter);
        EXPECT_EQ(b.stored(), c.storedAfter);
        // Only a deletion changes the master: once done, once undone, once done again.
        EXPECT_EQ(masterChanged.count(), steps == 2 ? 3 : 0);
    }
}

TEST(PayeeModel, RefusedOrUnchangedValuesMakeNoStep)
{
    Book b;
    QSignalSpy refused(&b.model, &PayeeModel::nameRefused);
    EXPECT_FALSE(b.type(0, QString(101, QChar(u'長'))));
    EXPECT_FALSE(b.type(3, QString::fromUtf8("AB\0CD", 5)));
    ASSERT_EQ(refused.count(), 2);
    EXPECT_EQ(refused.at(0).at(0).toString(), QString(101, QChar(u'長')));
    EXPECT_FALSE(b.type(3, "  ")) << "a blank name on the new line makes no line";
    EXPECT_TRUE(b.type(0, "A社 "));
    EXPECT_EQ(b.model.history()->count(), 0);
    EXPECT_EQ(b.shown(), (QStringList{"A社", "B社", "C社", ""}));
}

TEST(PayeeModel, APayeePutBackWhereItsRowidWasTakenGoesAfterTheLastAndTheCopyFollowsTheFile)
{
    Book b;
    ASSERT_TRUE(b.tick(2));
    ASSERT_TRUE(b.model.removeTickedPayees());
    // Meanwhile a month's registration adds a payee, which gets the rowid C社 had.
    ledger::PayeeTable::addNames(b.session->mainDb(), {"D社"});
    ASSERT_EQ(b.all(b.session->mainDb(), "SELECT rowid FROM 支払先マスタ WHERE 支払先名 = 'D社'"), "3");
    b.model.history()->undo();
    EXPECT_EQ(b.table.names(), (QStringList{"A社", "B社", "D社", "C社"}));
    EXPECT_EQ(b.shown(), (QStringList{"A社", "B社", "✓C社", ""}));

    // A write the file refuses is no step; an undo it refuses is told, and the model
    // keeps showing what the file holds.
    SQLite::Database& work = b.session->workDb();
    const QString refuse = "CREATE TEMP TRIGGER refuse BEFORE UPDATE ON main.w支払先マスタ BEGIN SELECT RAISE(ABORT, 'refused'); END";
    QSignalSpy failed(&b.model, &PayeeModel::historyFailed);
    store::exec(work, refuse);
    const int index = b.model.history()->index();
    EXPECT_FALSE(b.type(0, "X"));
    EXPECT_EQ(b.model.history()->index(), index);
    EXPECT_EQ(b.shown().first(), "A社");
    EXPECT_EQ(failed.count(), 0) << "the edit itself answers";
    store::exec(work, "DROP TRIGGER refuse");
    ASSERT_TRUE(b.type(0, "X"));
    store::exec(work, refuse);
    b.model.history()->undo();
    EXPECT_EQ(failed.count(), 1);
    EXPECT_EQ(b.shown().first(), "X");
    EXPECT_EQ(b.all(work, "SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid LIMIT 1"), "X");
}
