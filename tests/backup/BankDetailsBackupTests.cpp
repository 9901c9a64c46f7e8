// The bank details (支払先口座, 振込依頼人) are part of the book: a backup keeps them and a
// restore brings them back; a backup made before they existed restores with them empty.

#include "BackupService.h"
#include "Digest.h"
#include "Msg.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <QFile>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

namespace {

QString details(SQLite::Database& main)
{
    return store::scalar(main, "SELECT coalesce((SELECT group_concat(支払先名 || ' ' || 銀行番号 || ' ' || 口座名義, ',') FROM 支払先口座), '')"
                               " || ' # ' || coalesce((SELECT group_concat(依頼人コード || ' ' || 依頼人名) FROM 振込依頼人), '')")
        .toString();
}

} // namespace

TEST(Backup, TheBankDetailsAreBackedUpAndRestoredWithTheBook)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    QDateTime now(QDate(2027, 3, 25), QTime(9, 0, 0));
    backup::BackupService service(*session, msg, [&] { return now; });
    SQLite::Database& main = session->mainDb();
    store::exec(main, "INSERT INTO 支払先口座 (支払先名, 銀行番号, 口座名義) VALUES ('田中', '0001', 'ﾀﾅｶ')");
    store::exec(main, "INSERT INTO 振込依頼人 (依頼人コード, 依頼人名) VALUES ('0123456789', 'ﾄﾊﾞ-ｸ')");
    const QString kept = details(main);
    EXPECT_EQ(kept, "田中 0001 ﾀﾅｶ # 0123456789 ﾄﾊﾞ-ｸ");
    ASSERT_TRUE(service.beforeDestructive(backup::Reason::AllDelete));
    const QString path = service.folder().list().front().path;

    store::exec(main, "DELETE FROM 支払先口座");
    store::exec(main, "UPDATE 振込依頼人 SET 依頼人名 = 'ｶﾜﾘ'");
    presenter.setDefaultAnswer(true);
    now = now.addSecs(60);
    ASSERT_TRUE(service.restore(path));
    EXPECT_EQ(details(main), kept);

    // A backup of an earlier version, without the two tables (and without a record of its
    // bytes): restored, they are there, empty.
    {
        SQLite::Database older(path.toStdString(), SQLite::OPEN_READWRITE);
        older.exec("DROP TABLE 支払先口座; DROP TABLE 振込依頼人;");
    }
    QFile::remove(backup::digestPathOf(path));
    presenter.clear();
    now = now.addSecs(60);
    ASSERT_TRUE(service.restore(path));
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[0].title, "復元の確認");
    EXPECT_EQ(details(main), " # ");
    store::exec(main, "INSERT INTO 支払先口座 (支払先名) VALUES ('佐藤')");
}
