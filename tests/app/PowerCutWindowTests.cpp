#include "FrmQuorel1.h"
#include "PowerCutSweep.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "TempDataDir.h"

#include "GridView.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QAbstractItemModel>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;

namespace {

// Every stored line with its balance, in (date, line number) order.
QString storedLines(store::Session& session)
{
    return store::scalar(session.mainDb(), "SELECT group_concat(line, ' / ') FROM (SELECT 日付 || ' ' || 行番号 || ' ' || 支払先名 || ' ' || "
                                           "予定額 || ' ' || 支払額 || ' ' || 残高 AS line FROM 支払予定表 ORDER BY 日付, 行番号, rowid)")
        .toString();
}

// Stored lines over three months with their running balances, the middle one long.
void storeThreeMonths(const TempDataDir& dir)
{
    auto session = store::Session::open(dir.path());
    qlonglong balance = 0;
    int line = 0;
    for (const char* month : {"2005-02", "2005-03", "2005-04"}) {
        const int count = QString::fromUtf8(month).endsWith("03") ? 60 : 5;
        for (int i = 1; i <= count; ++i) {
            const qlonglong planned = 10000LL * (1000 + ++line * 7);
            const qlonglong paid = 10000LL * (i % 3 == 0 ? 500 : 0);
            balance += planned - paid;
            store::exec(session->mainDb(), "INSERT INTO 支払予定表 VALUES (?, ?, ?, ?, ?, ?)",
                {QStringLiteral("%1-%2").arg(QString::fromUtf8(month)).arg(1 + i % 28, 2, 10, QChar('0')), i,
                    QStringLiteral("支払先%1 ").arg(line) + QString(80, QChar(u'長')), planned, paid, balance});
        }
    }
}

// Starts the program on March 2005 with every box answered Yes.
template <class Body>
void onMarch(const TempDataDir& dir, Body&& body)
{
    messages::ScriptedMessagePresenter presenter;
    presenter.setDefaultAnswer(true);
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    FrmQuorel1& window = *started.window;
    window.findChild<YearMonthEdit*>("Dt年月")->setFromText("20050301");
    window.findChild<QPushButton*>("cmd読込")->click();
    body(window);
    window.close();
}

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

TEST(PowerCutWindow, SavingAMonthIsWholeOrAbsentWhereverThePowerFails)
{
    TempDataDir dir;
    storeThreeMonths(dir);
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) {
        onMarch(dir, [&](FrmQuorel1& window) {
            auto& sheet = *window.findChild<store::WorkTableModel*>("datInp");
            // Change amounts on several lines and add one: the save rewrites March and
            // the balances of every later line.
            for (int row = 0; row < 60; row += 7)
                sheet.setValue(row, 5, qlonglong(10000) * (3000 + row));
            sheet.setValue(60, 2, "28");
            sheet.setValue(60, 3, "2005-03-28");
            sheet.setValue(60, 4, "新しい支払先");
            sheet.setValue(60, 6, qlonglong(10000) * 777);
            sheet.commit();
            arm();
            window.findChild<QPushButton*>("cmd登録")->click();
        });
    }, storedLines);
    std::printf("[ power cut ] month save: %d cut points (each as power loss and as a killed program), %d old, %d new, %d broken\n",
        result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.cuts, 5);
    EXPECT_EQ(result.broken, 0);
}

TEST(PowerCutWindow, DeletingAStoredLineIsWholeOrAbsentWhereverThePowerFails)
{
    TempDataDir dir;
    storeThreeMonths(dir);
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) {
        onMarch(dir, [&](FrmQuorel1& window) {
            auto* grid = window.findChild<GridView*>("GridInp");
            grid->setCurrentCell(3, 4);
            arm();
            window.findChild<QPushButton*>("cmd行削除")->click();
        });
    }, storedLines);
    std::printf("[ power cut ] line deletion: %d cut points (each as power loss and as a killed program), %d old, %d new, %d broken\n",
        result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.cuts, 3);
    EXPECT_EQ(result.broken, 0);
}
