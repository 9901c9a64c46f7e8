#include "MainWindowHarness.h"

#include "FaultVfs.h"
#include "Msg.h"
#include "Sql.h"

#include <gtest/gtest.h>

namespace {

// Names long enough that each sits on pages of its own, so that a command over several
// of them writes the files several times.
QStringList longNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("支払先%1 ").arg(i) + QString(1500, QChar(u'長'));
    return names;
}

QString boxTitle(messages::MsgId id)
{
    return messages::findMessage(id).title;
}

} // namespace

TEST(WriteStepWindow, AWriteFailingInTheMiddleOfATickedDeletionOrThePayeeCopyChangesNothingAndIsReported)
{
    FaultVfs vfs;
    MainWindowHarness w;
    seed::storePayees(w.dir(), longNames(8));
    ASSERT_TRUE(w.start());
    w.showPage(MainWindowHarness::Page::Payees);

    // The payee copy (読込): every failing write leaves the work file as it was.
    int tried = 0;
    for (long step = 1; step <= 12; ++step) {
        const QByteArray work = TempDataDir::readAll(w.dir().workPath());
        vfs.failAt(step, false);
        w.click("cmd支払先読込", true);
        const bool tripped = vfs.tripped();
        vfs.clear();
        if (!tripped)
            break;
        ++tried;
        ASSERT_EQ(w.presenter.shown().size(), 1u) << "step " << step;
        EXPECT_EQ(w.presenter.shown()[0].title, boxTitle(messages::MsgId::その他_読込失敗2));
        EXPECT_EQ(TempDataDir::readAll(w.dir().workPath()), work) << "step " << step;
    }
    EXPECT_GT(tried, 2);
    w.click("cmd支払先読込", true);
    EXPECT_TRUE(w.presenter.shown().empty());
    ASSERT_EQ(store::scalar(w.workDb(), "SELECT count(*) FROM w支払先マスタ").toLongLong(), 8);

    // Five ticked names: a failing write in the middle keeps both files and the ticks. The
    // backup made before the deletion comes first: a failure there asks whether to go on
    // without one, and いいえ ends the command.
    store::exec(w.workDb(), "UPDATE w支払先マスタ SET チェック = 1 WHERE rowid IN (SELECT rowid FROM w支払先マスタ ORDER BY rowid LIMIT 5)");
    tried = 0;
    int inBackup = 0;
    for (long step = 1; step <= 200; ++step) {
        // What the master holds: a failed commit may leave its journal for the engine to
        // roll back at the next read, so the file's bytes are not compared.
        const QStringList master = w.storedPayees();
        w.presenter.clear();
        w.presenter.pushAnswer(true);
        w.presenter.pushAnswer(false);
        vfs.failAt(step, false);
        w.click("cmd支払先行削除");
        const bool tripped = vfs.tripped();
        vfs.clear();
        if (!tripped)
            break;
        ASSERT_EQ(w.presenter.shown().size(), 2u) << "step " << step; // the question, then the failure
        const QString title = w.presenter.shown()[1].title;
        if (title == boxTitle(messages::MsgId::バックアップ_失敗確認))
            ++inBackup;
        else if (title == boxTitle(messages::MsgId::削除_失敗))
            ++tried;
        else
            ADD_FAILURE() << "step " << step << ": " << title.toStdString();
        // The master first, then the copy: when only the copy failed, the master holds the
        // deletion and the ticks are still there for the command to be repeated.
        const QStringList now = w.storedPayees();
        if (now != master) {
            EXPECT_EQ(now.size(), 3) << "step " << step;
        }
        EXPECT_EQ(store::scalar(w.workDb(), "SELECT count(*) FROM w支払先マスタ WHERE チェック = 1").toLongLong(), 5);
    }
    EXPECT_GT(inBackup, 0);
    EXPECT_GT(tried, 2);
    // The same command then succeeds.
    if (store::scalar(w.workDb(), "SELECT count(*) FROM w支払先マスタ WHERE チェック = 1").toLongLong() == 5)
        w.click("cmd支払先行削除", true);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(*) FROM 支払先マスタ").toLongLong(), 3);
    EXPECT_EQ(store::scalar(w.workDb(), "SELECT count(*) FROM w支払先マスタ").toLongLong(), 3);
}
