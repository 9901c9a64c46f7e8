#include "HintStore.h"
#include "HintWindow.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using hints::HintStore;
using store::Row;

namespace {

std::vector<Row> hintRows(SQLite::Database& work)
{
    return store::queryRows(work, QStringLiteral("SELECT FormName, CtlName, FormTitle, Contents, typeof(Contents) FROM ClHint ORDER BY rowid"));
}

} // namespace

TEST(HintStore, ReplacesOneRowPerKeyAndMatchesKeysExactly)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    HintStore hints(work);

    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint").has_value());

    // Keys with an apostrophe and Japanese text are ordinary text, never part of a statement.
    const QString oddForm = QStringLiteral("Frm'; DROP TABLE ClHint; --");
    ASSERT_TRUE(hints.write(oddForm, "cmd'編集", "題'名", "彼's ヒント"));
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "支払予定表 Ver 1.0", "一回目"));
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "支払予定表 Ver 2.0", "二回目\n二行目"));

    auto rows = hintRows(work);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].toString(), oddForm);
    EXPECT_EQ(rows[0][1].toString(), "cmd'編集");
    EXPECT_EQ(rows[0][3].toString(), "彼's ヒント");
    EXPECT_EQ(rows[1][2].toString(), "支払予定表 Ver 2.0");
    EXPECT_EQ(rows[1][3].toString(), "二回目\n二行目");

    EXPECT_EQ(hints.read(oddForm, "cmd'編集").value_or("none"), "彼's ヒント");
    EXPECT_EQ(hints.read("FrmQuorel1", "cmdHint").value_or("none"), "二回目\n二行目");
    // No folding of case or width, no trimming.
    EXPECT_FALSE(hints.read("frmquorel1", "cmdHint").has_value());
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint ").has_value());
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint1").has_value());

    // An empty text is stored as empty text, not as null.
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "t", QString()));
    rows = hintRows(work);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][4].toString(), "text");
    EXPECT_EQ(hints.read("FrmQuorel1", "cmdHint").value_or("none"), "");

    // A null text reads as nothing stored.
    store::exec(work, "UPDATE ClHint SET Contents = NULL WHERE CtlName = 'cmdHint'");
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint").has_value());

    // Deleting removes every row of the key and nothing else; a missing key is no failure.
    store::exec(work, "INSERT INTO ClHint VALUES ('FrmQuorel1', 'cmdHint', 't', 'extra')");
    EXPECT_TRUE(hints.remove("FrmQuorel1", "cmdHint"));
    EXPECT_TRUE(hints.remove("FrmQuorel1", "cmdHint2"));
    rows = hintRows(work);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), oddForm);
}

TEST(HintStore, AFailedSaveKeepsTheOldHintAndAFailedDeleteIsReported)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    HintStore hints(work);
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint1", "題", "残すべき文"));

    store::exec(work, "CREATE TRIGGER refuse_insert BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(hints.write("FrmQuorel1", "cmdHint1", "題", "新しい文"));
    auto rows = hintRows(work);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][3].toString(), "残すべき文");
    // The connection is usable afterwards: no transaction was left open.
    store::exec(work, "DROP TRIGGER refuse_insert");
    EXPECT_TRUE(hints.write("FrmQuorel1", "cmdHint1", "題", "新しい文"));
    EXPECT_EQ(hints.read("FrmQuorel1", "cmdHint1").value_or("none"), "新しい文");

    store::exec(work, "CREATE TRIGGER refuse_delete BEFORE DELETE ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(hints.remove("FrmQuorel1", "cmdHint1"));
    EXPECT_EQ(hints.read("FrmQuorel1", "cmdHint1").value_or("none"), "新しい文");

    // A work file without the table: reads find nothing, writes report failure.
    store::exec(work, "DROP TABLE ClHint");
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint1").has_value());
    EXPECT_FALSE(hints.write("FrmQuorel1", "cmdHint1", "題", "文"));
}

TEST(HintColours, ValuesHoldRedInTheLowByte)
{
    EXPECT_EQ(hints::colourFromValue(hints::kButtonColour), QColor(209, 209, 205));
    EXPECT_EQ(hints::colourFromValue(hints::kEditingColour), QColor(255, 128, 128));
    EXPECT_EQ(hints::valueOfColour(QColor(209, 209, 205)), 13488593);
    EXPECT_EQ(hints::valueOfColour(QColor(255, 128, 128)), 8421631);
    EXPECT_EQ(hints::valueOfColour(QColor(1, 2, 3)), 0x030201);
}
