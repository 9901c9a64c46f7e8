#include "PayeeMaster.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QStringList>

#include <gtest/gtest.h>

using payees::PayeeMaster;

namespace {

QStringList names(SQLite::Database& db, const QString& table)
{
    QStringList result;
    for (const store::Row& row : store::queryRows(db, "SELECT 支払先名 FROM " + table + " ORDER BY rowid"))
        result << (row.at(0).isNull() ? QStringLiteral("<null>") : row.at(0).toString());
    return result;
}

void addMaster(store::Session& session, const QStringList& list)
{
    for (const QString& name : list)
        store::exec(session.mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
}

void addCopy(store::Session& session, const QList<std::pair<bool, QString>>& rows)
{
    for (const auto& [ticked, name] : rows)
        store::exec(session.workDb(), "INSERT INTO w支払先マスタ (チェック, 支払先名) VALUES (?, ?)", {ticked ? 1 : 0, name});
}

} // namespace

TEST(PayeeMaster, ReadReplacesTheCopyWithTheMasterSortedByNameNoneTicked)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);

    addCopy(*session, {{true, "left over"}});
    master.Read支払先();
    EXPECT_TRUE(names(session->workDb(), "w支払先マスタ").isEmpty()) << "an empty master leaves the page empty";

    addMaster(*session, {"丸井商店", "O'Brien", "あさひ電気", "O'Brien", "Acme"});
    master.Read支払先();
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ"), QStringList({"Acme", "O'Brien", "O'Brien", "あさひ電気", "丸井商店"}));
    EXPECT_EQ(store::scalar(session->workDb(), "SELECT count(*) FROM w支払先マスタ WHERE チェック <> 0").toLongLong(), 0);
    // Reading twice does not pile rows up; the master is left as it was.
    master.Read支払先();
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ").size(), 5);
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"丸井商店", "O'Brien", "あさひ電気", "O'Brien", "Acme"}));
}

TEST(PayeeMaster, RegisterReplacesTheMasterByEveryRowOfTheCopyInItsOrder)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);
    addMaster(*session, {"old 1", "old 2", "old 3", "old 4"});

    addCopy(*session, {{false, "山田"}, {true, "D'Arcy"}, {false, "山田"}});
    master.Entry支払先マスタ();
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"山田", "D'Arcy", "山田"}));
    // The copy itself is not changed by registering.
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ").size(), 3);

    master.Clear支払先マスタ();
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ").size(), 3) << "clearing the page leaves the master";
    master.Entry支払先マスタ();
    EXPECT_TRUE(names(session->mainDb(), "支払先マスタ").isEmpty()) << "an empty page empties the master";
}

TEST(PayeeMaster, FailedRegistrationLeavesTheMasterAsItWasAndTheFilesUsable)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);
    addMaster(*session, {"keep 1", "keep 2"});
    // The main file refuses one name, after the old names have been deleted.
    store::exec(session->mainDb(),
        "CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = 'bad' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    addCopy(*session, {{false, "new 1"}, {false, "bad"}, {false, "new 2"}});

    EXPECT_THROW(master.Entry支払先マスタ(), store::DbError);
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"keep 1", "keep 2"}));
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ"), QStringList({"new 1", "bad", "new 2"}));

    // No transaction was left open on either connection: both can write again.
    store::exec(session->mainDb(), "DROP TRIGGER refuse");
    master.Entry支払先マスタ();
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"new 1", "bad", "new 2"}));
}

TEST(PayeeMaster, LineDeleteRemovesEveryOccurrenceOfTheTickedNamesAndOnlyTheTickedRows)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);
    addMaster(*session, {"O'Brien", "Acme", "O'Brien", "o'brien", "山田"});

    // No ticked row: neither the master nor the page changes.
    addCopy(*session, {{false, "O'Brien"}, {false, "edited only here"}});
    master.LineDelete支払先マスタ();
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ").size(), 5);
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ"), QStringList({"O'Brien", "edited only here"}));

    master.Clear支払先マスタ();
    addCopy(*session, {{true, "O'Brien"}, {false, "Acme"}, {true, "山田"}, {false, "unsaved"}});
    master.LineDelete支払先マスタ();
    // Exact comparison: the differently cased name stays; the unticked rows are not written back.
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"Acme", "o'brien"}));
    EXPECT_EQ(names(session->workDb(), "w支払先マスタ"), QStringList({"Acme", "unsaved"}));
}

TEST(PayeeMaster, LineDeleteSkipsANameTheMasterRefusesAndGoesOn)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);
    addMaster(*session, {"stuck", "gone", "other"});
    store::exec(session->mainDb(),
        "CREATE TRIGGER refuse BEFORE DELETE ON 支払先マスタ WHEN OLD.支払先名 = 'stuck' "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    addCopy(*session, {{true, "stuck"}, {true, "gone"}});
    master.LineDelete支払先マスタ();
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ"), QStringList({"stuck", "other"}));
    EXPECT_TRUE(names(session->workDb(), "w支払先マスタ").isEmpty());
}

TEST(PayeeMaster, DeleteEmptiesTheMasterAndClearOnlyTheCopy)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeMaster master(*session);
    addMaster(*session, {"a", "b"});
    addCopy(*session, {{false, "a"}});

    master.Clear支払先マスタ();
    EXPECT_TRUE(names(session->workDb(), "w支払先マスタ").isEmpty());
    EXPECT_EQ(names(session->mainDb(), "支払先マスタ").size(), 2);

    master.Delete支払先マスタ();
    EXPECT_TRUE(names(session->mainDb(), "支払先マスタ").isEmpty());
}
