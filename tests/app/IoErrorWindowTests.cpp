#include "FaultVfs.h"
#include "FrmQuorel1.h"
#include "GridView.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct MarchWindow {
    TempDataDir dir;
    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started;

    MarchWindow()
    {
        {
            auto session = store::Session::open(dir.path());
            store::exec(session->mainDb(), "INSERT INTO 支払予定表 VALUES ('2005-03-05', 1, '既存', 1000000, 0, 1000000), ('2005-04-01', 1, '四月', 0, 0, 1000000)");
        }
        presenter.setDefaultAnswer(true);
        started = startQuorel1(dir.path(), presenter);
        window().findChild<YearMonthEdit*>("Dt年月")->setFromText("20050301");
        click("cmd読込");
    }
    FrmQuorel1& window() { return *started.window; }
    store::WorkTableModel& sheet() { return *window().findChild<store::WorkTableModel*>("datInp"); }
    void click(const char* name) { window().findChild<QPushButton*>(QString::fromUtf8(name))->click(); }
    QString stored() { return store::scalar(window().session().mainDb(), "SELECT group_concat(支払先名 || ':' || (残高 / 10000), ' ') FROM (SELECT * FROM 支払予定表 ORDER BY 日付, 行番号)").toString(); }
    void typeLine(int row, const char* day, const char* date, const char* payee)
    {
        sheet().setValue(row, 2, day);
        sheet().setValue(row, 3, date);
        sheet().setValue(row, 4, QString::fromUtf8(payee));
        sheet().setValue(row, 5, qlonglong(5000000));
        sheet().commit();
    }
};

} // namespace

TEST(IoErrorWindow, AFullFileRefusesTheSaveWithABoxKeepsSheetAndFileAndTheSameSaveThenSucceeds)
{
    MarchWindow w;
    ASSERT_TRUE(w.started.window);
    for (int row = 1; row < 60; ++row)
        w.typeLine(row, "10", "2005-03-10", qPrintable(QStringLiteral("新しい支払先%1 ").arg(row) + QString(200, QChar(u'長'))));
    auto& main = w.window().session().mainDb();
    const qlonglong pages = store::scalar(main, "PRAGMA page_count").toLongLong();
    store::scalar(main, QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
    const QByteArray before = TempDataDir::readAll(w.dir.mainPath());
    w.presenter.clear();
    w.click("cmd登録");
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].title, "登録の失敗");
    EXPECT_EQ(w.presenter.shown()[1].kind, messages::BoxKind::Warn);
    EXPECT_EQ(TempDataDir::readAll(w.dir.mainPath()), before);
    EXPECT_EQ(store::scalar(main, "PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(w.sheet().value(59, 4).toString().startsWith("新しい支払先59"));

    store::scalar(main, "PRAGMA max_page_count = 1073741823");
    w.presenter.clear();
    w.click("cmd登録");
    ASSERT_EQ(w.presenter.shown().size(), 1u); // only the question
    EXPECT_EQ(store::scalar(main, "SELECT count(*) FROM 支払予定表").toLongLong(), 61);
    EXPECT_TRUE(w.stored().endsWith("四月:29600")) << w.stored().right(40).toStdString(); // 100 + 59 × 500
}

TEST(IoErrorWindow, WriteErrorsOnceOrForeverAreReportedAndTheCommandsWorkOnceTheyStop)
{
    FaultVfs vfs;
    MarchWindow w;
    ASSERT_TRUE(w.started.window);
    w.typeLine(1, "12", "2005-03-12", "追加");
    const QString before = w.stored();
    int tried = 0;
    for (bool persistent : {false, true}) {
        for (long step : {1L, 2L, 3L, 5L}) {
            vfs.failAt(step, persistent);
            w.presenter.clear();
            w.click("cmd登録");
            if (!vfs.tripped())
                continue;
            ++tried;
            vfs.clear();
            ASSERT_EQ(w.presenter.shown().size(), 2u) << "step " << step;
            EXPECT_EQ(w.presenter.shown()[1].title, "登録の失敗");
            EXPECT_EQ(w.stored(), before) << "step " << step;
            EXPECT_EQ(w.sheet().value(1, 4).toString(), "追加");
        }
    }
    vfs.clear();
    w.click("cmd登録");
    EXPECT_EQ(w.stored(), "既存:100 追加:600 四月:600");

    // Deleting the stored line while writes fail: reported, nothing deleted; then it works.
    w.window().findChild<GridView*>("GridInp")->setCurrentCell(0, 4);
    vfs.failAt(1, true);
    w.presenter.clear();
    w.click("cmd行削除");
    vfs.clear();
    // The backup kept before the deletion fails as well: told, and the user goes on.
    ASSERT_EQ(w.presenter.shown().size(), 3u);
    EXPECT_EQ(w.presenter.shown()[1].title, "バックアップの失敗");
    EXPECT_EQ(w.presenter.shown()[2].title, "削除の失敗");
    EXPECT_EQ(w.stored(), "既存:100 追加:600 四月:600");
    w.window().findChild<GridView*>("GridInp")->setCurrentCell(0, 4);
    w.click("cmd行削除");
    EXPECT_EQ(w.stored(), "追加:500 四月:500");
    std::printf("[ io errors ] %d failing writes during a save (once and persistent), then a failing line deletion\n", tried);
}
