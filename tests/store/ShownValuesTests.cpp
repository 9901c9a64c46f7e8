#include "AmountColor.h"
#include "JapaneseCollation.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QColor>

#include <gtest/gtest.h>

using namespace store;

TEST(ShownValues, DaysShowTwoDigitsNegativeAmountsAreRedAndEveryAmountCarriesItsFullFigure)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    auto& work = session->workDb();
    const qint64 largest = std::numeric_limits<qint64>::max();
    exec(work, "INSERT INTO InpWork (表示日付, 予定額, 支払額, 残高) VALUES ('7', 10000, -12340000, ?)", {largest});
    exec(work, "INSERT INTO InpWork (表示日付, 予定額, 支払額, 残高) VALUES ('31', 0, -1, NULL)");
    exec(work, "INSERT INTO InpWork (表示日付) VALUES ('x9')");
    WorkTableModel model;
    model.bind(&work, "InpWork");
    model.setColumnKind(2, WorkTableModel::ColumnKind::Day);
    for (int amount : {5, 6, 7})
        model.setColumnKind(amount, WorkTableModel::ColumnKind::Amount);
    model.refresh();
    const auto shown = [&](int row, int column, int role = Qt::DisplayRole) { return model.data(model.index(row, column), role); };

    // A typed day keeps what was typed; only the display has two digits.
    EXPECT_EQ(shown(0, 2).toString(), "07");
    EXPECT_EQ(shown(0, 2, Qt::EditRole).toString(), "7");
    EXPECT_EQ(shown(1, 2).toString(), "31");
    EXPECT_EQ(shown(2, 2).toString(), "x9") << "a text that is no day is shown as typed";
    ASSERT_TRUE(model.setData(model.index(2, 2), "3"));
    EXPECT_EQ(shown(2, 2).toString(), "03");
    EXPECT_EQ(model.value(2, 2).toString(), "3");

    // Negative amounts are red, others keep the view's colour; -0.0001 shows blank but is
    // still below zero.
    EXPECT_EQ(shown(0, 6, Qt::ForegroundRole).value<QColor>(), negativeAmountColor());
    EXPECT_EQ(shown(1, 6, Qt::ForegroundRole).value<QColor>(), negativeAmountColor());
    EXPECT_FALSE(shown(0, 5, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(shown(1, 5, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(shown(0, 2, Qt::ForegroundRole).isValid()) << "only amount columns are coloured";
    ASSERT_TRUE(model.setData(model.index(1, 5), "-5"));
    EXPECT_EQ(shown(1, 5, Qt::ForegroundRole).value<QColor>(), negativeAmountColor()) << "a typed negative turns red at once";

    // The tooltip carries the whole figure, for a cell too narrow to show it.
    EXPECT_EQ(shown(0, 7).toString(), "922,337,203,685,478");
    EXPECT_EQ(shown(0, 7, Qt::ToolTipRole).toString(), "922,337,203,685,478");
    EXPECT_EQ(shown(0, 6, Qt::ToolTipRole).toString(), "-1,234");
    EXPECT_EQ(shown(1, 7, Qt::ToolTipRole).toString(), "");
    EXPECT_FALSE(shown(0, 4, Qt::ToolTipRole).isValid());
}

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
