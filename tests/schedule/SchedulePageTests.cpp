#include "AmountField.h"
#include "GridView.h"
#include "Msg.h"
#include "SchedulePage.h"
#include "Session.h"
#include "StoredLines.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace schedule;
using namespace monthtest;
using store::Amount;

namespace {

struct PageFixture {
    TempDataDir dir;
    std::unique_ptr<store::Session> session = store::Session::open(dir.path());
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg{presenter};
    PageContext context{*session, msg};
    std::unique_ptr<SchedulePage> page;

    void start()
    {
        page = std::make_unique<SchedulePage>(context);
        page->FormInit();
        page->Clear支払予定表();
        page->Read支払予定();
    }
    YearMonthEdit* month() { return page->findChild<YearMonthEdit*>("Dt年月"); }
    store::WorkTableModel* sheet() { return page->findChild<store::WorkTableModel*>("datInp"); }
    AmountField* field(const char* name) { return page->findChild<AmountField*>(QString::fromUtf8(name)); }
    void click(const char* name) { QTest::mouseClick(page->findChild<QPushButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    QStringList payees()
    {
        QStringList names;
        for (int row = 0; row < sheet()->rowCount(); ++row) {
            if (!sheet()->value(row, 4).isNull())
                names << sheet()->value(row, 4).toString();
        }
        return names;
    }
};

std::optional<std::int64_t> yenOf(const std::optional<Amount>& amount)
{
    if (!amount)
        return std::nullopt;
    return amount->units() / 10000;
}

} // namespace

TEST(SchedulePage, MonthStepsMoveByCalendarMonthsKeepTheMonthEndRuleAndLoadEachMonth)
{
    PageFixture p;
    storeLine(p.session->mainDb(), "2005-02-14", 1, "二月", yen(100), yen(0), yen(100));
    storeLine(p.session->mainDb(), "2005-03-28", 1, "三月", yen(50), yen(20), yen(130));
    storeLine(p.session->mainDb(), "2005-12-01", 1, "師走", yen(1), yen(0), yen(131));
    storeLine(p.session->mainDb(), "2006-01-31", 1, "睦月", yen(0), yen(31), yen(100));
    p.start();

    ASSERT_TRUE(p.month()->setFromText("20050331"));
    p.click("cmdMonBef");
    EXPECT_EQ(p.month()->date(), QDate(2005, 2, 28));
    EXPECT_EQ(p.payees(), QStringList{"二月"});
    MonthHeader header = p.page->monthHeader();
    EXPECT_EQ(yenOf(header.予定額月計), 100);
    EXPECT_EQ(yenOf(header.支払額月計), 0);
    EXPECT_EQ(yenOf(header.繰越額), 0);
    EXPECT_EQ(yenOf(header.累計), 100);

    p.click("cmdMonNext");
    EXPECT_EQ(p.month()->date(), QDate(2005, 3, 28));
    EXPECT_EQ(p.payees(), QStringList{"三月"});
    header = p.page->monthHeader();
    EXPECT_EQ(yenOf(header.繰越額), 100);
    EXPECT_EQ(yenOf(header.予定額月計), 50);
    EXPECT_EQ(yenOf(header.支払額月計), 20);

    ASSERT_TRUE(p.month()->setFromText("20051215"));
    p.click("cmdMonNext");
    EXPECT_EQ(p.month()->date(), QDate(2006, 1, 15));
    EXPECT_EQ(p.payees(), QStringList{"睦月"});
    EXPECT_EQ(yenOf(p.page->monthHeader().繰越額), 131);
    p.click("cmdMonBef");
    EXPECT_EQ(p.month()->date(), QDate(2005, 12, 15));
    EXPECT_EQ(p.payees(), QStringList{"師走"});

    // The read button reloads the month and drops unsaved edits.
    p.sheet()->setValue(0, 4, "unsaved");
    p.sheet()->commit();
    p.click("cmd読込");
    EXPECT_EQ(p.payees(), QStringList{"師走"});

    // With the field empty neither step nor read touches the sheet.
    ASSERT_TRUE(p.month()->setFromText(""));
    p.sheet()->setValue(1, 4, "kept");
    p.sheet()->commit();
    for (const char* button : {"cmdMonBef", "cmdMonNext", "cmd読込"})
        p.click(button);
    EXPECT_FALSE(p.month()->date().isValid());
    EXPECT_EQ(p.payees(), (QStringList{"師走", "kept"}));
}

TEST(SchedulePage, TheProgressBarShowsTenThirtyNinetyAndHundredAndIsHiddenBetweenLoads)
{
    PageFixture p;
    p.start();
    auto* bar = p.page->findChild<QProgressBar*>("Pbar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isHidden());
    for (int load = 0; load < 2; ++load) {
        std::vector<std::pair<int, bool>> seen;
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) { seen.emplace_back(value, !bar->isHidden()); });
        p.page->Read支払予定();
        bar->disconnect(bar);
        EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{10, true}, {30, true}, {90, true}, {100, true}})) << "load " << load;
        EXPECT_TRUE(bar->isHidden());
    }
}

TEST(SchedulePage, ClearGivesABlankSheetOfTodaysMonthAndRefillsTheDropDownWithoutTouchingStoredLines)
{
    PageFixture p;
    const QDate today = QDate::currentDate();
    storeLine(p.session->mainDb(), today.toString("yyyy-MM-dd"), 1, "今月", yen(10), yen(0), yen(10));
    p.start();
    EXPECT_EQ(p.payees(), QStringList{"今月"});
    EXPECT_EQ(yenOf(p.page->monthHeader().予定額月計), 10);
    auto* names = p.page->findChild<store::WorkTableModel*>("dat支払先名");
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->rowCount(), 0);

    store::exec(p.session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES ('新しい支払先')");
    ASSERT_TRUE(p.month()->setFromText("20050301"));
    p.click("cmd履歴クリア");
    EXPECT_EQ(p.month()->date(), today);
    EXPECT_TRUE(p.payees().isEmpty());
    EXPECT_EQ(p.sheet()->rowCount(), 200);
    const MonthHeader header = p.page->monthHeader();
    EXPECT_FALSE(header.繰越額 || header.予定額月計 || header.支払額月計 || header.累計);
    ASSERT_EQ(names->rowCount(), 1);
    EXPECT_EQ(names->value(0, 0).toString(), "新しい支払先");
    EXPECT_EQ(store::scalar(p.session->mainDb(), "SELECT count(*) FROM 支払予定表").toInt(), 1);
    // The stored line comes back with the read button.
    p.click("cmd読込");
    EXPECT_EQ(p.payees(), QStringList{"今月"});
}

TEST(SchedulePage, GridBalancesFollowTheTypedCarryOverAndTheTotalsReadTheSheet)
{
    PageFixture p;
    p.start();
    EXPECT_FALSE(p.field("num繰越額")->isReadOnly());
    for (const char* name : {"num予定額月計", "num支払額月計", "num累計"})
        EXPECT_TRUE(p.field(name)->isReadOnly()) << name;
    // On an empty store every figure is 0 and shows blank.
    const MonthHeader loaded = p.page->monthHeader();
    EXPECT_EQ(yenOf(loaded.繰越額), 0);
    EXPECT_EQ(yenOf(loaded.累計), 0);
    EXPECT_EQ(yenOf(loaded.予定額月計), 0);
    EXPECT_EQ(p.field("num予定額月計")->text(), "");

    p.field("num繰越額")->setAmount(Amount::fromYen(5000));
    auto* grid = p.page->findChild<GridView*>("GridInp");
    store::WorkTableModel* sheet = p.sheet();
    sheet->setValue(0, 5, yen(10000));
    sheet->commit();
    grid->setCurrentCell(0, 5);
    p.page->Calc支払予定額();
    p.page->Calc行残高();
    EXPECT_EQ(inYen(sheet->value(0, 7)), 15000);
    EXPECT_EQ(p.field("num予定額月計")->text(), "10,000");
    sheet->setValue(1, 6, yen(3000));
    sheet->commit();
    grid->setCurrentCell(1, 6);
    p.page->Calc支払額();
    p.page->Calc行残高();
    EXPECT_EQ(inYen(sheet->value(1, 7)), 12000);
    EXPECT_EQ(p.field("num支払額月計")->text(), "3,000");
    EXPECT_EQ(grid->currentIndex(), sheet->index(1, 6));

    // Recomputing the whole sheet from another carry-over: only lines with date and payee
    // count, and the grid shows the result with its current cell kept.
    store::exec(p.session->workDb(), "UPDATE InpWork SET 日付 = '2005-03-01', 支払先名 = 'x' WHERE 行番号 IN (1, 2)");
    sheet->refresh();
    grid->setCurrentCell(1, 6);
    p.field("num繰越額")->setAmount(Amount::fromYen(100));
    p.page->ReCalc残高();
    EXPECT_EQ(inYen(sheet->value(0, 7)), 10100);
    EXPECT_EQ(inYen(sheet->value(1, 7)), 7100);
    EXPECT_EQ(grid->currentIndex(), sheet->index(1, 6));
}
