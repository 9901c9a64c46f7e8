#include "MainWindowHarness.h"

#include "GridEditing.h"
#include "GridView.h"
#include "Sql.h"
#include "WorkTableModel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace schedule;

namespace {

// The first stored line whose balance differs from a recomputation from scratch over the
// whole schedule in (日付, 行番号) order, or the empty text.
QString firstWrongBalance(SQLite::Database& main)
{
    qint64 running = 0;
    for (const store::Row& r : store::queryRows(main, "SELECT 予定額 - 支払額, 残高, 日付, 行番号 FROM 支払予定表 ORDER BY 日付, 行番号, rowid")) {
        running += r[0].toLongLong();
        if (r[1].isNull() || r[1].toLongLong() != running)
            return QStringLiteral("%1 #%2: %3 instead of %4").arg(r[2].toString(), r[3].toString(), r[1].toString()).arg(running);
    }
    return {};
}

} // namespace

TEST(BalanceInvariant, RandomEditsSavesInsertionsAndDeletionsKeepEveryStoredBalanceRight)
{
    const QStringList payees = {"A", "B", "O'Brien", "山田商店", ""};
    const QStringList amounts = {"1,000", "250", "-75", "", "３０", "12,345"};
    for (unsigned seed : {1u, 2u, 3u}) {
        MainWindowHarness w;
        seed::storeSettings(w.dir(), "西暦", 0, 0);
        w.presenter.setDefaultAnswer(true);
        ASSERT_TRUE(w.startOn(QDate(2005, 1, 1)));
        ASSERT_TRUE(w.show());
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const auto edit = [&](int line, int column, const QString& text) { w.sheet().setData(w.sheet().index(line, column), text, Qt::EditRole); };
        int saves = 0;
        int deletions = 0;
        for (int step = 0; step < 200; ++step) {
            const int what = pick(20);
            const int line = pick(10);
            w.grid()->setCurrentCell(line, kCol表示日付);
            if (what == 0 || what == 19) {
                w.loadMonth(QDate(2005, 1 + pick(4), 1));
            } else if (what <= 6) { // a whole line
                edit(line, kCol表示日付, QString::number(1 + pick(28)));
                edit(line, kCol支払先名, payees[pick(payees.size() - 1)]);
                edit(line, kCol予定額, amounts[pick(amounts.size())]);
                edit(line, kCol支払額, amounts[pick(amounts.size())]);
            } else if (what <= 10) { // one cell; days 0 and 32 give no date
                const int column = QList<int>{kCol表示日付, kCol支払先名, kCol予定額, kCol支払額}[pick(4)];
                edit(line, column, column == kCol表示日付 ? QString::number(pick(33)) : column == kCol支払先名 ? payees[pick(payees.size())] : amounts[pick(amounts.size())]);
            } else if (what <= 14) {
                w.click("cmd登録");
                ++saves;
            } else if (what <= 16) {
                w.click("cmd行挿入");
            } else {
                w.click("cmd行削除");
                ++deletions;
            }
            const QString wrong = firstWrongBalance(w.mainDb());
            ASSERT_TRUE(wrong.isEmpty()) << "seed " << seed << " step " << step << " (" << what << " at " << line << "): " << wrong.toStdString();
        }
        const qint64 kept = store::scalar(w.mainDb(), "SELECT count(*) FROM 支払予定表").toLongLong();
        std::printf("[ invariant ] seed %u: %d saves, %d deletions, %lld stored lines at the end\n", seed, saves, deletions, static_cast<long long>(kept));
        EXPECT_GT(saves, 10);
        EXPECT_GT(deletions, 5);
        EXPECT_GT(kept, 2);
    }
}
