#include "Session.h"
#include "SettingsRecord.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using settings::SettingsRecord;
using settings::SettingsValues;

namespace {

qint64 rowCount(store::Session& session)
{
    return store::scalar(session.mainDb(), "SELECT count(*) FROM 自社情報").toLongLong();
}

} // namespace

TEST(SettingsRecord, EmptyTableReadsAsTheDefaultsAndResetAddsNoRow)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SettingsRecord record(session->mainDb());
    const SettingsValues values = record.read();
    EXPECT_EQ(values.年号, "西暦");
    EXPECT_TRUE(values.支払先自動登録);
    EXPECT_EQ(values.LineColor1, 0);
    record.reset();
    EXPECT_EQ(rowCount(*session), 0);
}

TEST(SettingsRecord, WriteReadRoundTripKeepsOneRowAndResetRestoresTheDefaultsInIt)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SettingsRecord record(session->mainDb());
    const SettingsValues first{"和暦", false, 255};
    record.write(first);
    EXPECT_EQ(record.read(), first);
    const SettingsValues second{"西暦", true, 16711680};
    record.write(second);
    record.write(first);
    EXPECT_EQ(record.read(), first);
    EXPECT_EQ(rowCount(*session), 1);
    const auto stored = store::queryRows(session->mainDb(), "SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報");
    EXPECT_EQ(stored[0][0].toString(), "和暦");
    EXPECT_EQ(stored[0][1].toLongLong(), 0);
    EXPECT_EQ(stored[0][2].toLongLong(), 255);

    record.reset();
    EXPECT_EQ(rowCount(*session), 1);
    EXPECT_EQ(record.read(), SettingsValues{});
    EXPECT_EQ(store::scalar(session->mainDb(), "SELECT 支払先自動登録 FROM 自社情報").toLongLong(), 1);
}

TEST(SettingsRecord, NullFieldsOddEraAndOnlyTheFirstRow)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    SettingsRecord record(session->mainDb());
    store::exec(session->mainDb(), "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES (NULL, NULL, NULL)");
    store::exec(session->mainDb(), "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES ('和暦', 1, 99)");
    // A row with nulls: era "西暦", registration off, colour 0.
    EXPECT_EQ(record.read(), (SettingsValues{"西暦", false, 0}));

    store::exec(session->mainDb(), "UPDATE 自社情報 SET 年号 = '令和 O''Hara' WHERE rowid = 1");
    EXPECT_EQ(record.read().年号, "令和 O'Hara");

    record.write({"和暦", true, 65280});
    const auto rows = store::queryRows(session->mainDb(), "SELECT 年号, 支払先自動登録, LineColor1 FROM 自社情報 ORDER BY rowid");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][2].toLongLong(), 65280);
    EXPECT_EQ(rows[1][2].toLongLong(), 99) << "the second row is never touched";
}
