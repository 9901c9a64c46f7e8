#include "FrmQuorel1.h"
#include "PowerCutSweep.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

QString masterNames(store::Session& session)
{
    return store::scalar(session.mainDb(), "SELECT group_concat(支払先名, '|') FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid)").toString();
}

} // namespace

TEST(PowerCutWindow, RegisteringThePayeePageIsWholeOrAbsentWhereverThePowerFails)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        for (int i = 0; i < 40; ++i)
            store::exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES (?)", {QStringLiteral("旧支払先%1 ").arg(i, 2, 10, QChar('0')) + QString(300, QChar(u'長'))});
    }
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) {
        ScriptedMessagePresenter presenter;
        presenter.setDefaultAnswer(true);
        StartupOutcome started = startQuorel1(dir.path(), presenter);
        ASSERT_TRUE(started.window);
        FrmQuorel1& window = *started.window;
        window.findChild<QPushButton*>("cmd支払先読込")->click();
        auto* grid = window.findChild<QTableView*>("Grid支払先マスタ");
        QAbstractItemModel* model = grid->model();
        for (int r = 0; r < 40; r += 3)
            model->setData(model->index(r, 1), QStringLiteral("新支払先%1").arg(r));
        arm();
        window.findChild<QPushButton*>("cmd支払先登録")->click();
        window.close();
    }, masterNames);
    std::printf("[ power cut ] payee page registration: %d cut points, %d old, %d new, %d broken\n", result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.cuts, 5);
    EXPECT_EQ(result.broken, 0);
}
