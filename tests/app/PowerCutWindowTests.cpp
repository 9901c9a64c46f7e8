#include "MainWindowHarness.h"

#include "GridEditing.h"
#include "FaultVfs.h"
#include "GridView.h"
#include "MonthController.h"
#include "PowerCutSweep.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetModel.h"
#include "Sql.h"

#include <QAbstractItemModel>
#include <QFile>
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

namespace {

// What the user finds at the next start, and what a 登録 then stores: the book's lines, and
// the sheet the draft brings back unregistered (its lines that the book does not hold yet).
QString stateAtNextStart(store::Session& session)
{
    QString state = seed::storedState(session.mainDb());
    MonthController month(session);
    if (month.restoreDraft() != DraftOutcome::Restored)
        return state + QStringLiteral(" | no unregistered sheet");
    QStringList fresh;
    for (const SheetLine& line : month.lines()) {
        if (line.holdsData() && !line.original)
            fresh << QStringLiteral("%1 %2").arg(line.date.toString(Qt::ISODate), line.payee);
    }
    return state + QStringLiteral(" | unregistered: ") + fresh.join(QStringLiteral(", "));
}

// March 2005 of the three months, with an unregistered line typed on the sheet: the draft
// the next start brings back.
void typeUnregisteredLine(TempDataDir& dir)
{
    storeThreeMonths(dir);
    auto session = store::Session::open(dir.path());
    MonthController month(*session);
    month.setMonth(QDate(2005, 3, 1));
    ASSERT_TRUE(month.load().loaded);
    const auto put = [&](int column, const char* text) { month.model()->setData(month.model()->index(60, column), QString::fromUtf8(text)); };
    put(kCol表示日付, "27");
    put(kCol支払先名, "Kept");
    put(kCol予定額, "200");
    ASSERT_TRUE(month.hasUnsavedChanges());
}

// Starts on the unregistered sheet and registers it; `arm` comes right before 登録.
void registerKept(TempDataDir& dir, const std::function<void()>& arm)
{
    MainWindowHarness w(dir);
    w.presenter.setDefaultAnswer(true);
    ASSERT_TRUE(w.start());
    ASSERT_EQ(w.cell(60, kCol支払先名), "Kept");
    // What was typed before is on the disk: the cut is about the registration alone.
    store::exec(w.workDb(), "PRAGMA wal_checkpoint(FULL)");
    arm();
    w.click("cmd登録");
    w.close();
}

} // namespace

TEST(PowerCutWindow, ARegisteredSheetIsInTheBookOrInTheDraftNeverInBothWhereverTheSaveDies)
{
    TempDataDir dir;
    typeUnregisteredLine(dir);
    const SweepResult result = sweepPowerCuts(dir, [&](const std::function<void()>& arm) { registerKept(dir, arm); }, stateAtNextStart);
    std::printf("[ power cut ] registering a sheet and retiring its draft: %d cut points (each as power loss and as a killed program), %d old, %d new, %d broken\n",
        result.cuts, result.old, result.fresh, result.broken);
    EXPECT_GT(result.old, 0);
    EXPECT_GT(result.fresh, 0);
    EXPECT_EQ(result.broken, 0);
}

TEST(PowerCutWindow, ARegisteredSheetIsInTheBookOrInTheDraftNeverInBothWhateverWriteFails)
{
    TempDataDir dir;
    typeUnregisteredLine(dir);
    const QByteArray mainBefore = TempDataDir::readAll(dir.mainPath());
    const QByteArray workBefore = TempDataDir::readAll(dir.workPath());
    const auto reset = [&] {
        for (const QString& path : {dir.mainPath(), dir.workPath()}) {
            for (const char* extra : {"-journal", "-wal", "-shm"})
                QFile::remove(path + QString::fromUtf8(extra));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(path == dir.mainPath() ? mainBefore : workBefore);
        }
    };
    QString oldState;
    {
        auto session = store::Session::open(dir.path());
        oldState = stateAtNextStart(*session);
    }
    FaultVfs vfs;
    registerKept(dir, [&] { vfs.clear(); });
    const long steps = vfs.steps();
    QString newState;
    {
        auto session = store::Session::open(dir.path());
        newState = stateAtNextStart(*session);
    }
    ASSERT_NE(oldState, newState);
    ASSERT_TRUE(newState.endsWith(" | no unregistered sheet")) << newState.toStdString();
    int old = 0;
    int fresh = 0;
    for (long step = 1; step <= steps; ++step) {
        for (bool persistent : {false, true}) {
            reset();
            // The failing step: the save (and what the close then does) meets an I/O error.
            registerKept(dir, [&] { vfs.failAt(step, persistent); });
            vfs.clear();
            auto session = store::Session::open(dir.path());
            const QString now = stateAtNextStart(*session);
            if (now == oldState)
                ++old;
            else if (now == newState)
                ++fresh;
            else
                ADD_FAILURE() << "write " << step << " of " << steps << (persistent ? " failing from then on" : " failing once") << " left: " << now.toStdString();
        }
    }
    reset();
    std::printf("[ io error ] registering a sheet and retiring its draft: %ld writes failed once and for good, %d old, %d new\n", steps, old, fresh);
    EXPECT_GT(old + fresh, 0);
}
