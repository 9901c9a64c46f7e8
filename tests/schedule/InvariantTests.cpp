#include "SheetFixture.h"

#include <QSet>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace monthtest;

namespace {

// The first stored line whose balance differs from a recomputation from scratch over the
// whole schedule in (日付, 行番号) order, or the empty text.
QString firstWrongBalance(SQLite::Database& main)
{
    qint64 running = 0;
    for (const store::Row& r : store::queryRows(main, "SELECT 予定額, 支払額, 残高, 日付, 行番号, 支払先名 FROM 支払予定表 ORDER BY 日付, 行番号, rowid")) {
        running += r[0].toLongLong() - r[1].toLongLong();
        if (r[2].isNull() || r[2].toLongLong() != running)
            return QStringLiteral("%1 #%2 %3: %4 instead of %5").arg(r[3].toString(), r[4].toString(), r[5].toString(), r[2].toString()).arg(running);
    }
    return {};
}

// Date and payee of every stored line of the month, sorted.
QStringList storedMonth(SQLite::Database& main, const QDate& month)
{
    QStringList lines;
    for (const store::Row& r : store::queryRows(main, "SELECT 日付, 支払先名 FROM 支払予定表 WHERE substr(日付, 1, 7) = ?", {month.toString("yyyy-MM")}))
        lines << r[0].toString() + " " + r[1].toString();
    lines.sort();
    return lines;
}

// What storage must hold for the month after a save: every line with date and payee, and
// the stored original of a line with a payee but no date (it cannot be stored, so it
// stays as it was).
QStringList expectedMonth(SQLite::Database& work)
{
    QSet<QString> lines;
    for (const store::Row& r : store::queryRows(work, "SELECT 日付, 支払先名, 元日付, 元支払先名 FROM InpWork WHERE coalesce(支払先名, '') <> ''")) {
        if (!r[0].isNull())
            lines << r[0].toString() + " " + r[1].toString();
        else if (!r[2].isNull())
            lines << r[2].toString() + " " + r[3].toString();
    }
    QStringList sorted = lines.values();
    sorted.sort();
    return sorted;
}

} // namespace

TEST(BalanceInvariant, RandomEditsSavesInsertionsAndDeletionsKeepEveryStoredBalanceRight)
{
    const QStringList payees = {"A", "B", "O'Brien", "山田商店", ""};
    const QStringList amounts = {"1,000", "250", "-75", "", "３０", "12,345"};
    for (unsigned seed : {1u, 2u, 3u}) {
        SheetFixture f;
        f.start(QDate(2005, 1, 1));
        f.session->settings.g支払先自動登録 = false;
        f.presenter.setDefaultAnswer(true);
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        int saves = 0;
        int deletions = 0;
        const auto edit = [&](int line, int column, const QString& text) { f.sheet().setData(f.sheet().index(line, column), text, Qt::EditRole); };
        for (int step = 0; step < 200; ++step) {
            const int what = pick(20);
            const int line = pick(10);
            QString done;
            if (what == 0 || what == 19) {
                const QDate month(2005, 1 + pick(4), 1);
                f.monthField()->setFromText(month.toString("yyyyMMdd"));
                f.page->Read支払予定();
                done = "load " + month.toString("yyyy-MM");
            } else if (what <= 6) {
                edit(line, 2, QString::number(1 + pick(28)));
                edit(line, 4, payees[pick(payees.size() - 1)]);
                edit(line, 5, amounts[pick(amounts.size())]);
                edit(line, 6, amounts[pick(amounts.size())]);
                done = QStringLiteral("fill %1").arg(line);
            } else if (what <= 10) {
                const int column = QList<int>{2, 4, 5, 6}[pick(4)];
                QString text;
                if (column == 2)
                    text = QString::number(pick(33)); // 0 and 32 give no date
                else if (column == 4)
                    text = payees[pick(payees.size())];
                else
                    text = amounts[pick(amounts.size())];
                edit(line, column, text);
                done = QStringLiteral("edit %1,%2 = %3").arg(line).arg(column).arg(text);
            } else if (what <= 14) {
                f.grid()->setCurrentCell(line, 2);
                f.page->cmd登録_Click();
                ++saves;
                done = "save";
                const auto& boxes = f.presenter.shown();
                if (boxes.empty() || boxes.back().title != "入力注意") {
                    EXPECT_EQ(storedMonth(f.main(), f.monthField()->date()), expectedMonth(f.work())) << "seed " << seed << " step " << step;
                }
                f.presenter.clear();
            } else if (what <= 16) {
                f.grid()->setCurrentCell(line, 2);
                f.page->InsertLine();
                done = QStringLiteral("insert at %1").arg(line);
            } else {
                f.grid()->setCurrentCell(line, 2);
                f.page->LineDelete();
                ++deletions;
                done = QStringLiteral("delete %1").arg(line);
            }
            const QString wrong = firstWrongBalance(f.main());
            ASSERT_TRUE(wrong.isEmpty()) << "seed " << seed << " step " << step << " (" << done.toStdString() << "): " << wrong.toStdString();
        }
        EXPECT_GT(saves, 10);
        EXPECT_GT(deletions, 5);
        const qint64 kept = store::scalar(f.main(), "SELECT count(*) FROM 支払予定表").toLongLong();
        std::printf("[ invariant ] seed %u: %d saves, %d deletions, %lld stored lines at the end\n", seed, saves, deletions, static_cast<long long>(kept));
        EXPECT_GT(kept, 10) << "seed " << seed;
    }
}
