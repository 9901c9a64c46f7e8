#include "FaultVfs.h"
#include "MonthSave.h"
#include "MonthSheet.h"
#include "PowerCutSweep.h"
#include "SheetFixture.h"

#include <QProgressBar>

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

const QDate kMarch(2005, 3, 10);

// Fills sheet line n (date and payee may be null).
void setLine(SQLite::Database& work, int n, const QVariant& date, const QVariant& payee, qint64 scheduled, qint64 paid)
{
    store::exec(work, "UPDATE InpWork SET 日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ? WHERE 行番号 = ?", {date, payee, yen(scheduled), yen(paid), n});
}

// Every stored line, "日付|行番号|支払先名|予定額|支払額|残高" in yen, in date and line-number order.
QString stored(SQLite::Database& main)
{
    return row(main, "SELECT group_concat(line, '; ') FROM (SELECT 日付 || '|' || 行番号 || '|' || 支払先名 || '|' || (予定額 / 10000) || '|' || "
                     "(支払額 / 10000) || '|' || coalesce(残高 / 10000, '-') AS line FROM 支払予定表 ORDER BY 日付, 行番号, rowid)");
}

int countCommit(void* counter)
{
    ++*static_cast<int*>(counter);
    return 0;
}

Amount yenAmount(qint64 value)
{
    return *Amount::fromYen(value);
}

} // namespace

TEST(MonthSave, FilledLinesAreStoredAtTheirPositionsOnceAndLaterMonthsFollow)
{
    SheetFixture f;
    storeLine(f.main(), "2005-02-10", 1, "前月", yen(1000), yen(0), yen(1000));
    storeLine(f.main(), "2005-04-05", 1, "四月", yen(0), yen(200), yen(9999));
    loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    setLine(f.work(), 2, "2005-03-05", "O'Brien", 500, 0);
    setLine(f.work(), 3, "2005-03-01", "電気", 0, 100);
    setLine(f.work(), 5, "2005-03-09", QVariant(), 7, 0); // no payee: not stored
    setLine(f.work(), 7, QVariant(), "日付なし", 1, 0);   // no date: skipped

    int commits = 0;
    sqlite3_commit_hook(f.main().getHandle(), &countCommit, &commits);
    QList<int> bar;
    SaveResult result = Entry支払予定表(f.main(), f.work(), kMarch, yenAmount(1000), [&](int v) { bar << v; });
    EXPECT_EQ(result.kind, SaveResult::Kind::Saved);
    EXPECT_EQ(result.stored, 2);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(stored(f.main()), "2005-02-10|1|前月|1000|0|1000; 2005-03-01|3|電気|0|100|900; 2005-03-05|2|O'Brien|500|0|1400; 2005-04-05|1|四月|0|200|1200");
    EXPECT_EQ(bar.size(), 201);
    EXPECT_EQ(bar.first(), 10);
    EXPECT_EQ(bar.mid(1, 21), QList<int>(21, 0));
    EXPECT_EQ(bar.last(), 90);
    // The sheet knows where its lines are stored now.
    EXPECT_EQ(row(f.work(), "SELECT group_concat(coalesce(元行番号, '-') || ':' || coalesce(元日付, '-') || ':' || coalesce(元支払先名, '-'), ' ') "
                            "FROM (SELECT * FROM InpWork WHERE 行番号 IN (2, 3, 7) ORDER BY 行番号)"),
        "2:2005-03-05:O'Brien 3:2005-03-01:電気 7:-:-");

    // Saved again with a carry-over typed by the user: still one stored line per filled
    // line, and every later balance follows the typed carry-over.
    bar.clear();
    result = Entry支払予定表(f.main(), f.work(), kMarch, yenAmount(5000), [&](int v) { bar << v; });
    EXPECT_EQ(result.stored, 2);
    EXPECT_EQ(commits, 2);
    EXPECT_EQ(bar.first(), 10);
    EXPECT_EQ(stored(f.main()), "2005-02-10|1|前月|1000|0|1000; 2005-03-01|3|電気|0|100|4900; 2005-03-05|2|O'Brien|500|0|5400; 2005-04-05|1|四月|0|200|5200");

    // A month without filled lines stores nothing but still recomputes from its first day.
    storeLine(f.main(), "2005-06-01", 1, "六月", yen(0), yen(0), yen(777));
    loadMonthSheet(*f.session, QDate(2005, 5, 1), QDate(2005, 5, 31));
    result = Entry支払予定表(f.main(), f.work(), QDate(2005, 5, 1), yenAmount(30));
    EXPECT_EQ(result.stored, 0);
    EXPECT_EQ(row(f.main(), "SELECT count(*), 残高 / 10000 FROM 支払予定表 WHERE 日付 >= '2005-05-01'"), "1|30");
    sqlite3_commit_hook(f.main().getHandle(), nullptr, nullptr);
}

TEST(MonthSave, ChangedLinesReplaceTheirOriginalsAndDoubledLinesStoreNothing)
{
    SheetFixture f;
    storeLine(f.main(), "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
    storeLine(f.main(), "2005-03-06", 2, "B", yen(0), yen(10), yen(90));
    storeLine(f.main(), "2005-03-07", 3, "C", yen(5), yen(0), yen(95));
    storeLine(f.main(), "2005-03-08", 4, "D", yen(1), yen(0), yen(96));
    loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    store::exec(f.work(), "UPDATE InpWork SET 日付 = '2005-03-20' WHERE 行番号 = 1");
    store::exec(f.work(), "UPDATE InpWork SET 支払先名 = 'B2' WHERE 行番号 = 2");
    store::exec(f.work(), "UPDATE InpWork SET 支払先名 = NULL WHERE 行番号 = 3");
    store::exec(f.work(), "UPDATE InpWork SET 日付 = NULL WHERE 行番号 = 4"); // cannot be stored: its original stays

    const SaveResult result = Entry支払予定表(f.main(), f.work(), kMarch, Amount());
    EXPECT_EQ(result.kind, SaveResult::Kind::Saved);
    EXPECT_EQ(result.replaced, 3);
    EXPECT_EQ(stored(f.main()), "2005-03-06|2|B2|0|10|-10; 2005-03-08|4|D|1|0|-9; 2005-03-20|1|A|100|0|91");
    loadMonthSheet(*f.session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    EXPECT_EQ(row(f.work(), "SELECT group_concat(支払先名) FROM (SELECT 支払先名 FROM InpWork WHERE 支払先名 IS NOT NULL ORDER BY 行番号)"), "B2,D,A");

    // Two filled lines with one date and payee: refused, nothing written, sheet kept.
    setLine(f.work(), 7, "2005-03-06", "B2", 1, 0);
    setLine(f.work(), 8, "2005-03-20", "A", 2, 0);
    store::exec(f.work(), "UPDATE InpWork SET 予定額 = ? WHERE 行番号 = 1", {yen(55)});
    const QString before = stored(f.main());
    const SaveResult doubled = Entry支払予定表(f.main(), f.work(), kMarch, Amount());
    EXPECT_EQ(doubled.kind, SaveResult::Kind::Duplicate);
    EXPECT_EQ(doubled.doubled, "2005/03/06 の「B2」、2005/03/20 の「A」");
    EXPECT_EQ(stored(f.main()), before);
    EXPECT_EQ(row(f.work(), "SELECT 予定額 / 10000, 元日付 FROM InpWork WHERE 行番号 = 1"), "55|2005-03-06");
}

TEST(MonthSave, AFailingCommitLeavesTheFileAsItWasAndTheSameSaveThenSucceeds)
{
    TempDataDir dir;
    FaultVfs vfs;
    auto session = store::Session::open(dir.path());
    storeLine(session->mainDb(), "2005-03-05", 1, "A", yen(100), yen(0), yen(100));
    loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
    setLine(session->workDb(), 2, "2005-03-06", "新しい行", 50, 0);
    const QByteArray before = TempDataDir::readAll(dir.mainPath());
    const QString sheetBefore = row(session->workDb(), "SELECT group_concat(coalesce(支払先名, '-')) FROM InpWork");

    vfs.failAt(1, true); // every write from the next one on fails
    const SaveResult failed = Entry支払予定表(session->mainDb(), session->workDb(), kMarch, Amount());
    vfs.clear();
    EXPECT_EQ(failed.kind, SaveResult::Kind::Failed);
    EXPECT_EQ(TempDataDir::readAll(dir.mainPath()), before);
    EXPECT_EQ(stored(session->mainDb()), "2005-03-05|1|A|100|0|100");
    EXPECT_EQ(row(session->workDb(), "SELECT group_concat(coalesce(支払先名, '-')) FROM InpWork"), sheetBefore);
    EXPECT_EQ(row(session->workDb(), "SELECT 元日付 FROM InpWork WHERE 行番号 = 2"), "-");

    EXPECT_EQ(Entry支払予定表(session->mainDb(), session->workDb(), kMarch, Amount()).kind, SaveResult::Kind::Saved);
    EXPECT_EQ(stored(session->mainDb()), "2005-03-05|1|A|100|0|100; 2005-03-06|2|新しい行|50|0|150");
}

TEST(MonthSave, APowerCutDuringASaveLeavesTheWholeOldOrTheWholeNewSchedule)
{
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        for (int day = 1; day <= 28; ++day)
            storeLine(session->mainDb(), QStringLiteral("2005-04-%1").arg(day, 2, 10, QLatin1Char('0')), 1, "later", yen(day), yen(0), yen(0));
        loadMonthSheet(*session, QDate(2005, 3, 1), QDate(2005, 3, 31));
        for (int n = 1; n <= 60; ++n)
            setLine(session->workDb(), n, QStringLiteral("2005-03-%1").arg(1 + n % 28, 2, 10, QLatin1Char('0')), QStringLiteral("支払先%1").arg(n), n, 0);
    }
    const SweepResult sweep = sweepPowerCuts(
        dir,
        [&](const std::function<void()>& arm) {
            auto session = store::Session::open(dir.path());
            arm();
            Entry支払予定表(session->mainDb(), session->workDb(), kMarch, Amount());
        },
        [](store::Session& s) { return stored(s.mainDb()); });
    EXPECT_EQ(sweep.broken, 0);
    EXPECT_GT(sweep.old, 0);
    EXPECT_GT(sweep.fresh, 0);
}

TEST(MonthSave, TheRegisterButtonAsksCommitsTheOpenEditAndReportsAFullFile)
{
    SheetFixture f;
    f.start(QDate(2005, 3, 1));
    f.session->settings.g支払先自動登録 = false;
    f.type(0, 2, "5");
    f.type(0, 4, "O'Brien");
    f.type(0, 5, "1200", Qt::Key_unknown); // editor still open when the button is pressed
    f.presenter.pushAnswer(false);
    f.click("cmd登録");
    EXPECT_EQ(stored(f.main()), "-");
    ASSERT_EQ(f.presenter.shown().size(), 1u);
    EXPECT_EQ(f.presenter.shown()[0].text, "支払予定表 を登録します。よろしいですか");
    EXPECT_EQ(f.presenter.shown()[0].kind, messages::BoxKind::AskDefaultYes);

    auto* bar = f.page->findChild<QProgressBar*>("Pbar");
    QList<int> values;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int v) { values << v; });
    f.presenter.pushAnswer(true);
    f.click("cmd登録");
    EXPECT_EQ(stored(f.main()), "2005-03-05|1|O'Brien|1200|0|1200");
    EXPECT_EQ(values.first(), 10);
    EXPECT_EQ(values.last(), 100);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(f.field("num累計")->text(), "1,200");

    // A file that cannot grow: the save is refused as a whole, the user is told, and the
    // sheet keeps every line typed.
    for (int n = 1; n < 200; ++n)
        store::exec(f.work(), "UPDATE InpWork SET 日付 = '2005-03-07', 支払先名 = ? WHERE 行番号 = ?", {QStringLiteral("長い名前%1").arg(n) + QString(300, QChar(u'長')), n + 1});
    f.sheet().refresh();
    const QString before = stored(f.main());
    store::scalar(f.main(), "PRAGMA max_page_count = " + QString::number(store::scalar(f.main(), "PRAGMA page_count").toLongLong()));
    f.presenter.clear();
    f.presenter.pushAnswer(true);
    values.clear();
    f.click("cmd登録");
    EXPECT_EQ(stored(f.main()), before);
    ASSERT_EQ(f.presenter.shown().size(), 2u);
    EXPECT_EQ(f.presenter.shown()[1].title, "登録の失敗");
    EXPECT_EQ(f.presenter.shown()[1].kind, messages::BoxKind::Warn);
    EXPECT_EQ(values.first(), 10);
    EXPECT_EQ(row(f.work(), "SELECT count(*) FROM InpWork WHERE 支払先名 LIKE '長い名前%'"), "199");
    EXPECT_TRUE(f.sheet().value(199, 4).toString().startsWith("長い名前199長"));
}
