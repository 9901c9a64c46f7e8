#include "Session.h"
#include "SettingsRecord.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using settings::SettingsRecord;
using settings::SettingsValues;

TEST(SettingsRecord, NullFieldsReadAsWesternOffAndBlackAndOnlyTheFirstRowIsUsed)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& main = session->mainDb();
    SettingsRecord record(main);
    store::exec(main, "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES (NULL, NULL, NULL)");
    store::exec(main, "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES ('和暦', 1, 99)");
    EXPECT_EQ(record.read(), (SettingsValues{"西暦", false, 0}));

    record.write({"令和 O'Hara", true, 65280});
    EXPECT_EQ(record.read(), (SettingsValues{"令和 O'Hara", true, 65280}));
    record.reset();
    EXPECT_EQ(record.read(), SettingsValues{});
    const auto rows = store::queryRows(main, "SELECT LineColor1 FROM 自社情報 ORDER BY rowid");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0].toLongLong(), 99) << "the second row is never touched";
}
