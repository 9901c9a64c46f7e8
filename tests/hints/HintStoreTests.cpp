#include "HintStore.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

TEST(HintStore, OneRowPerExactKeyAndAFailedSaveKeepsTheOldOne)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    hints::HintStore hints(work);
    const auto rows = [&] { return store::queryRows(work, "SELECT FormName, CtlName, FormTitle, Contents, typeof(Contents) FROM ClHint ORDER BY rowid"); };

    // Keys holding apostrophes are plain values; matching folds neither case nor blanks.
    const QString odd = QStringLiteral("Frm'; DROP TABLE ClHint; --");
    ASSERT_TRUE(hints.write(odd, "cmd'編集", "題", "彼's ヒント"));
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "Ver 1", "一回目"));
    ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "Ver 2", QString()));
    auto stored = rows();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][1].toString(), "cmd'編集");
    EXPECT_EQ(stored[1][2].toString(), "Ver 2");
    EXPECT_EQ(stored[1][4].toString(), "text"); // an empty hint is empty text, not null
    EXPECT_EQ(hints.read(odd, "cmd'編集").value_or("none"), "彼's ヒント");
    EXPECT_EQ(hints.read("FrmQuorel1", "cmdHint").value_or("none"), "");
    EXPECT_FALSE(hints.read("frmquorel1", "cmdHint").has_value());
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint ").has_value());
    store::exec(work, "UPDATE ClHint SET Contents = NULL WHERE CtlName = 'cmdHint'");
    EXPECT_FALSE(hints.read("FrmQuorel1", "cmdHint").has_value());

    // The insert refused after the delete: the old row is still there, and the connection
    // is left without an open transaction.
    store::exec(work, "CREATE TRIGGER refuse BEFORE INSERT ON ClHint BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(hints.write(odd, "cmd'編集", "題", "新しい文"));
    EXPECT_EQ(hints.read(odd, "cmd'編集").value_or("none"), "彼's ヒント");
    store::exec(work, "DROP TRIGGER refuse");
    EXPECT_TRUE(hints.write(odd, "cmd'編集", "題", "新しい文"));

    // Deleting a key removes only its rows; a key without a row is no failure.
    EXPECT_TRUE(hints.remove("FrmQuorel1", "cmdHint"));
    EXPECT_TRUE(hints.remove("FrmQuorel1", "cmdHint2"));
    stored = rows();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0][3].toString(), "新しい文");
    store::exec(work, "DROP TABLE ClHint");
    EXPECT_FALSE(hints.remove(odd, "cmd'編集"));
}
