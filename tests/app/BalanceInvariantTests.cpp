#include "MainWindowHarness.h"

#include "AmountField.h"
#include "BackupFolder.h"
#include "GridView.h"
#include "MonthController.h"
#include "Overview.h"
#include "SheetColumns.h"
#include "Sql.h"

#include <QUndoStack>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <limits>
#include <random>

using namespace schedule;

namespace {

// The book recomputed from scratch, without the program's ledger: the stored lines and
// carry-overs in time order (a month's carry-over comes before its lines), each line adding
// its scheduled amount and taking its paid amount from the running balance, which a
// carry-over replaces.
struct Recomputed {
    struct Event {
        QString at;    // "yyyy-MM-dd #n" for a line, "yyyy-MM-00" for a carry-over
        qint64 change; // a line's 予定額 - 支払額, or the carry-over
        bool carry;
    };
    std::vector<Event> events;
    QString firstWrong; // the first stored balance that differs, or empty
    qint64 end = 0;

    // The balance the month ("yyyy-MM") starts from, and the one after its last line.
    qint64 balanceAt(const QString& through) const
    {
        qint64 running = 0;
        for (const Event& e : events) {
            if (e.at >= through)
                break;
            running = e.carry ? e.change : running + e.change;
        }
        return running;
    }
    qint64 openingOf(const QString& month) const { return balanceAt(month + "-01"); }
    qint64 closingOf(const QString& month) const { return balanceAt(month + "-99"); }
};

Recomputed recompute(SQLite::Database& main)
{
    Recomputed book;
    for (const store::Row& r : store::queryRows(main, "SELECT substr(年月, 1, 7) || '-00', 繰越額 FROM 繰越額"))
        book.events.push_back({r[0].toString(), r[1].toLongLong(), true});
    std::vector<std::pair<Recomputed::Event, qint64>> lines;
    for (const store::Row& r : store::queryRows(main, "SELECT 日付, 行番号, 予定額 - 支払額, 残高 FROM 支払予定表 ORDER BY 日付, 行番号, rowid")) {
        const QString at = QStringLiteral("%1 #%2").arg(r[0].toString()).arg(r[1].toLongLong(), 6, 10, QLatin1Char('0'));
        book.events.push_back({at, r[2].toLongLong(), false});
        lines.emplace_back(book.events.back(), r[3].isNull() ? std::numeric_limits<qint64>::min() : r[3].toLongLong());
    }
    std::stable_sort(book.events.begin(), book.events.end(), [](const auto& a, const auto& b) { return a.at < b.at; });
    qint64 running = 0;
    for (const Recomputed::Event& e : book.events) {
        running = e.carry ? e.change : running + e.change;
        if (e.carry || !book.firstWrong.isEmpty())
            continue;
        const auto stored = std::find_if(lines.begin(), lines.end(), [&](const auto& l) { return l.first.at == e.at; });
        if (stored->second != running)
            book.firstWrong = QStringLiteral("%1: %2 instead of %3").arg(e.at).arg(stored->second).arg(running);
        lines.erase(stored);
    }
    book.end = running;
    return book;
}

qint64 unitsShown(MainWindowHarness& w, const char* field)
{
    const auto amount = w.find<AmountField>(field)->amount();
    return amount ? amount->units() : 0;
}

// What the screen shows against the sheet's own amounts and the book: balances in date,
// then line order from the carry-over shown; totals; the cumulative figure; the carry-over
// and the overview when nothing is unregistered.
QString firstWrongFigure(MainWindowHarness& w, const MonthController& month, const Recomputed& book)
{
    const SheetLines& lines = month.lines();
    std::vector<int> order;
    qint64 scheduled = 0;
    qint64 paid = 0;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        scheduled += lines[static_cast<std::size_t>(i)].scheduled->units();
        paid += lines[static_cast<std::size_t>(i)].paid->units();
        if (lines[static_cast<std::size_t>(i)].storable())
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lines[static_cast<std::size_t>(a)].date < lines[static_cast<std::size_t>(b)].date; });
    qint64 running = unitsShown(w, "num繰越額");
    for (int i : order) {
        const SheetLine& line = lines[static_cast<std::size_t>(i)];
        running += line.scheduled->units() - line.paid->units();
        if (w.sheet().value(i, kCol残高).toLongLong() != running)
            return QStringLiteral("line %1 shows %2 instead of %3").arg(i + 1).arg(w.sheet().value(i, kCol残高).toLongLong()).arg(running);
    }
    if (unitsShown(w, "num予定額月計") != scheduled || unitsShown(w, "num支払額月計") != paid)
        return QStringLiteral("month totals");
    if (unitsShown(w, "num累計") != book.end)
        return QStringLiteral("cumulative %1 instead of %2").arg(unitsShown(w, "num累計")).arg(book.end);
    if (month.hasUnsavedChanges())
        return {};
    const QString shownMonth = month.month().toString("yyyy-MM");
    if (unitsShown(w, "num繰越額") != book.openingOf(shownMonth))
        return QStringLiteral("carry-over %1 instead of %2").arg(unitsShown(w, "num繰越額")).arg(book.openingOf(shownMonth));
    const ledger::Overview overview = ledger::readOverview(w.mainDb(), QDate(2005, 1, 1), 5);
    for (const ledger::MonthFlow& flow : overview.months) {
        const QString m = flow.month.toString("yyyy-MM");
        const qint64 closing = book.closingOf(m);
        if (flow.繰越額.units() != book.openingOf(m) || flow.月末残高.units() != closing)
            return QStringLiteral("overview of %1: %2..%3 instead of %4..%5").arg(m).arg(flow.繰越額.units()).arg(flow.月末残高.units()).arg(book.openingOf(m)).arg(closing);
    }
    return {};
}

} // namespace

TEST(BalanceInvariant, RandomEditsCarryOversSavesDeletionsRestoresAndUndoKeepEveryFigureOnTheBooksChain)
{
    const QStringList payees = {"A", "B", "O'Brien", "山田商店", ""};
    const QStringList amounts = {"1,000", "250", "-75", "", "３０", "12,345", "1.5"};
    std::map<std::string, int> overall;
    for (unsigned seed : {1u, 2u, 3u}) {
        MainWindowHarness w;
        seed::storeSettings(w.dir(), "西暦", 0, 0);
        w.presenter.setDefaultAnswer(true);
        ASSERT_TRUE(w.startOn(QDate(2005, 1, 1)));
        ASSERT_TRUE(w.show());
        auto& month = *qobject_cast<MonthController*>(w.sheet().parent());
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        std::map<std::string, int> done;
        for (int step = 0; step < 240; ++step) {
            const int what = pick(24);
            const int line = pick(10);
            w.grid()->setCurrentCell(line, kCol表示日付);
            if (what <= 1) {
                w.loadMonth(QDate(2005, 1 + pick(4), 1));
                ++done["loads"];
            } else if (what <= 6) { // a whole line
                w.put(line, kCol表示日付, QString::number(1 + pick(28)));
                w.put(line, kCol支払先名, payees[pick(payees.size() - 1)]);
                w.put(line, kCol予定額, amounts[pick(amounts.size())]);
                w.put(line, kCol支払額, amounts[pick(amounts.size())]);
            } else if (what <= 9) { // one cell; days 0 and 32 give no date
                const int column = QList<int>{kCol表示日付, kCol支払先名, kCol予定額, kCol支払額}[pick(4)];
                w.put(line, column, column == kCol表示日付 ? QString::number(pick(33)) : column == kCol支払先名 ? payees[pick(payees.size())] : amounts[pick(amounts.size())]);
            } else if (what == 10) {
                w.find<AmountField>("num繰越額")->setAmount(ledger::Amount::fromYen(pick(3) == 0 ? 0 : 1000 * pick(500)));
                ++done["carry-overs"];
            } else if (what <= 14) {
                w.click("cmd登録");
                ++done["saves"];
            } else if (what == 15) {
                w.click("cmd行挿入");
            } else if (what <= 17) {
                w.click("cmd行削除");
                ++done["deletions"];
            } else if (what <= 20) {
                month.undoStack()->undo();
                ++done["undos"];
            } else if (what == 21) {
                month.undoStack()->redo();
            } else {
                const std::vector<backup::BackupEntry> backups = backup::BackupFolder(w.dir().path()).list();
                if (!backups.empty() && w.window().backups().restore(backups[static_cast<std::size_t>(pick(static_cast<int>(backups.size())))].path))
                    ++done["restores"];
            }
            const Recomputed book = recompute(w.mainDb());
            ASSERT_TRUE(book.firstWrong.isEmpty()) << "seed " << seed << " step " << step << " (" << what << " at " << line << "): " << book.firstWrong.toStdString();
            const QString wrong = firstWrongFigure(w, month, book);
            ASSERT_TRUE(wrong.isEmpty()) << "seed " << seed << " step " << step << " (" << what << " at " << line << "): " << wrong.toStdString();
        }
        const qint64 kept = store::scalar(w.mainDb(), "SELECT count(*) FROM 支払予定表").toLongLong();
        std::printf("[ invariant ] seed %u: %d saves, %d carry-overs, %d deletions, %d undos, %d restores, %lld stored lines at the end\n", seed,
            done["saves"], done["carry-overs"], done["deletions"], done["undos"], done["restores"], static_cast<long long>(kept));
        EXPECT_GT(done["saves"], 10);
        for (const auto& [kind, count] : done)
            overall[kind] += count;
    }
    for (const char* kind : {"loads", "carry-overs", "deletions", "undos", "restores"})
        EXPECT_GT(overall[kind], 5) << kind;
}
