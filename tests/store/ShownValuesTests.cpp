#include "JapaneseCollation.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <gtest/gtest.h>

using namespace store;

TEST(ShownValues, PayeeNamesSortInJapaneseOrderOnTheConnectionsAndInCode)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    // Code point order would put every katakana and half-width name after all hiragana.
    const QStringList names = {"山田", "さとう", "カトウ", "ｲﾄｳ", "あおき", "Zeta", "かとう"};
    for (const QString& name : names)
        exec(session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES (?)", {name});
    const QStringList expected = {"Zeta", "あおき", "ｲﾄｳ", "かとう", "カトウ", "さとう", "山田"};
    for (SQLite::Database* db : {&session->mainDb(), &session->workDb()}) {
        const QString table = db == &session->mainDb() ? "支払先マスタ" : "mainfile.支払先マスタ";
        QStringList sorted;
        for (const Row& row : queryRows(*db, "SELECT 支払先名 FROM " + table + " ORDER BY 支払先名 COLLATE ja"))
            sorted << row.at(0).toString();
        EXPECT_EQ(sorted, expected);
    }
    QStringList inCode = names;
    std::sort(inCode.begin(), inCode.end(), [](const QString& a, const QString& b) { return compareJapanese(a, b) < 0; });
    EXPECT_EQ(inCode, expected);
    // Texts ICU takes as equal still have one order, so a sort never depends on chance.
    EXPECT_NE(compareJapanese("ｶﾄｳ", "カトウ"), 0);
    EXPECT_EQ(compareJapanese("カトウ", "カトウ"), 0);
}
