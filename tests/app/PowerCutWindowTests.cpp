#include "MainWindowHarness.h"

#include "GridEditing.h"
#include "GridView.h"
#include "PowerCutSweep.h"
#include "Session.h"

#include <QAbstractItemModel>
#include <QTableView>

#include <gtest/gtest.h>

using namespace schedule;

namespace {

QString storedState(store::Session& session)
{
    return seed::storedState(session.mainDb());
}

QString masterNames(store::Session& session)
{
    return seed::storedPayees(session.mainDb()).join('|');
}

// Stored lines over three months with their running balances, the middle one long.
void storeThreeMonths(const TempDataDir& dir)
{
    std::vector<seed::StoredLine> lines;
    qint64 balance = 0;
    int line = 0;
    for (int month : {2, 3, 4}) {
        const int count = month == 3 ? 60 : 5;
        for (int i = 1; i <= count; ++i) {
            const qint64 planned = 1000 + ++line * 7;
            const qint64 paid = i % 3 == 0 ? 500 : 0;
            balance += planned - paid;
            lines.push_back({QDate(2005, month, 1 + i % 28), i, QStringLiteral("支払先%1 ").arg(line) + QString(80, QChar(u'長')), planned, paid, balance});
        }
    }
    seed::storeLines(dir, lines);
}

// Runs `command` on March 2005 with every box answered Yes, arming the cut right before.
template <class Command>
void onMarch(TempDataDir& dir, const std::function<void()>& arm, Command&& command)
{
    MainWindowHarness w(dir);
    w.presenter.setDefaultAnswer(true);
    ASSERT_TRUE(w.startOn(QDate(2005, 3, 1)));
    command(w, arm);
    w.close();
}

} // namespace

TEST(PowerCutWindow, RegisteringThePayeePageIsWholeOrAbsentWhereverThePowerFails)
{
    TempDataDir dir;
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names << QStringLiteral("旧支払先%1 ").arg(i, 2, 10, QChar('0')) + QString(300, QChar(u'長'));
    seed::storePayees(dir, names);
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) {
        MainWindowHarness w(dir);
        w.presenter.setDefaultAnswer(true);
        ASSERT_TRUE(w.start());
        w.click("cmd支払先読込");
        QAbstractItemModel* model = w.find<QTableView>("Grid支払先マスタ")->model();
        for (int r = 0; r < 40; r += 3)
            model->setData(model->index(r, 1), QStringLiteral("新支払先%1").arg(r));
        arm();
        w.click("cmd支払先登録");
        w.close();
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
        onMarch(dir, arm, [](MainWindowHarness& w, const std::function<void()>& arm) {
            // Change amounts on several lines and add one: the save rewrites March and
            // the balances of every later line.
            for (int row = 0; row < 60; row += 7)
                w.put(row, kCol予定額, QString::number(3000 + row));
            w.put(60, kCol表示日付, "28");
            w.put(60, kCol支払先名, "新しい支払先");
            w.put(60, kCol支払額, "777");
            arm();
            w.click("cmd登録");
        });
    }, storedState);
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
        onMarch(dir, arm, [](MainWindowHarness& w, const std::function<void()>& arm) {
            w.grid()->setCurrentCell(3, kCol支払先名);
            arm();
            w.click("cmd行削除");
        });
    }, storedState);
    std::printf("[ power cut ] line deletion: %d cut points (each as power loss and as a killed program), %d old, %d new, %d broken\n",
        result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.cuts, 3);
    EXPECT_EQ(result.broken, 0);
}
