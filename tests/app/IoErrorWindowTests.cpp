#include "MainWindowHarness.h"

#include "FaultVfs.h"
#include "GridEditing.h"
#include "GridView.h"
#include "Msg.h"
#include "Sql.h"

#include <gtest/gtest.h>

using namespace schedule;
using seed::StoredLine;

namespace {

// March 2005 on screen over one stored March line and one April line; every box Yes.
struct MarchWindow : MainWindowHarness {
    MarchWindow()
    {
        seed::storeLines(dir(), {StoredLine{QDate(2005, 3, 5), 1, "既存", 100, 0, 100}, StoredLine{QDate(2005, 4, 1), 1, "四月", 0, 0, 100}});
        presenter.setDefaultAnswer(true);
        startOn(QDate(2005, 3, 1));
    }
    // A line of 500 yen on the sheet, committed as leaving the line does.
    void putLine(int row, int day, const QString& payee)
    {
        put(row, kCol表示日付, QString::number(day));
        put(row, kCol支払先名, payee);
        put(row, kCol予定額, QStringLiteral("500"));
    }
    QString failureTitle(messages::MsgId id) { return messages::findMessage(id).title; }
};

} // namespace

TEST(IoErrorWindow, AFullFileRefusesTheSaveWithABoxKeepsSheetAndFileAndTheSameSaveThenSucceeds)
{
    MarchWindow w;
    ASSERT_TRUE(w.outcome().window);
    for (int row = 1; row < 60; ++row)
        w.putLine(row, 10, QStringLiteral("新しい支払先%1 ").arg(row) + QString(80, QChar(u'長')));
    auto& main = w.mainDb();
    const qlonglong pages = store::scalar(main, "PRAGMA page_count").toLongLong();
    store::scalar(main, QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
    const QByteArray before = TempDataDir::readAll(w.dir().mainPath());
    w.click("cmd登録", true);
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, w.failureTitle(messages::MsgId::登録_失敗));
    EXPECT_EQ(w.presenter.shown()[1].kind, messages::BoxKind::Warn);
    EXPECT_EQ(TempDataDir::readAll(w.dir().mainPath()), before);
    EXPECT_EQ(store::scalar(main, "PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(w.sheet().value(59, kCol支払先名).toString().startsWith("新しい支払先59"));

    store::scalar(main, "PRAGMA max_page_count = 1073741823");
    w.click("cmd登録", true);
    ASSERT_EQ(w.presenter.shown().size(), 1u); // only the question
    EXPECT_EQ(store::scalar(main, "SELECT count(*) FROM 支払予定表").toLongLong(), 61);
    EXPECT_TRUE(w.storedLines().endsWith("04-01 #1 四月 29600")) << w.storedLines().right(40).toStdString(); // 100 + 59 × 500
}

TEST(IoErrorWindow, WriteErrorsOnceOrForeverAreReportedAndTheCommandsWorkOnceTheyStop)
{
    FaultVfs vfs;
    MarchWindow w;
    ASSERT_TRUE(w.outcome().window);
    w.putLine(1, 12, "追加");
    const QString before = w.storedLines();
    int tried = 0;
    for (bool persistent : {false, true}) {
        for (long step : {1L, 2L, 3L, 5L}) {
            vfs.failAt(step, persistent);
            w.click("cmd登録", true);
            if (!vfs.tripped())
                continue;
            ++tried;
            vfs.clear();
            ASSERT_EQ(w.presenter.shown().size(), 2u) << "step " << step;
            EXPECT_EQ(w.presenter.shown()[1].title, w.failureTitle(messages::MsgId::登録_失敗));
            EXPECT_EQ(w.storedLines(), before) << "step " << step;
            EXPECT_EQ(w.sheet().value(1, kCol支払先名).toString(), "追加");
        }
    }
    vfs.clear();
    w.click("cmd登録", true);
    EXPECT_EQ(w.storedLines(), "03-05 #1 既存 100 / 03-12 #2 追加 600 / 04-01 #1 四月 600");

    // Deleting the stored line while writes fail: reported, nothing deleted; then it works.
    w.grid()->setCurrentCell(0, kCol支払先名);
    vfs.failAt(1, true);
    w.click("cmd行削除", true);
    vfs.clear();
    // The backup kept before the deletion fails as well: told, and the user goes on.
    ASSERT_EQ(w.presenter.shown().size(), 3u);
    EXPECT_EQ(w.presenter.shown()[1].title, "バックアップの失敗");
    EXPECT_EQ(w.presenter.shown()[2].title, w.failureTitle(messages::MsgId::削除_失敗));
    EXPECT_EQ(w.storedLines(), "03-05 #1 既存 100 / 03-12 #2 追加 600 / 04-01 #1 四月 600");
    w.grid()->setCurrentCell(0, kCol支払先名);
    w.click("cmd行削除", true);
    EXPECT_EQ(w.storedLines(), "03-12 #2 追加 500 / 04-01 #1 四月 500");
    std::printf("[ io errors ] %d failing writes during a save (once and persistent), then a failing line deletion\n", tried);
}
