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
    store::WorkTableModel& sheet() { return *page->findChild<store::WorkTableModel*>("datInp"); }
    AmountField& field(const char* name) { return *page->findChild<AmountField*>(QString::fromUtf8(name)); }
    void click(const char* name) { QTest::mouseClick(page->findChild<QPushButton*>(QString::fromUtf8(name)), Qt::LeftButton); }
    QString shown() { return QStringList{field("num繰越額").text(), field("num予定額月計").text(), field("num支払額月計").text(), field("num累計").text()}.join(" | "); }
};

} // namespace

TEST(SchedulePage, ClearAndReadKeepTheProgressBarRuleAndTheStoredLines)
{
    PageFixture p;
    const QDate today = QDate::currentDate();
    storeLine(p.session->mainDb(), today.toString("yyyy-MM-dd"), 1, "今月", yen(10), yen(0), yen(10));
    p.start();
    auto* bar = p.page->findChild<QProgressBar*>("Pbar");
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(p.sheet().value(0, 4).toString(), "今月");
    EXPECT_EQ(p.shown(), " | 10 |  | 10");

    // Clear: today's month, a blank sheet, blank figures, the drop-down refilled; the
    // stored line stays and comes back with the read button, showing 10, 30, 90, 100.
    store::exec(p.session->mainDb(), "INSERT INTO 支払先マスタ (支払先名) VALUES ('新しい支払先')");
    auto* month = p.page->findChild<YearMonthEdit*>("Dt年月");
    ASSERT_TRUE(month->setFromText("20050301"));
    std::vector<store::WorkTableModel*> refill;
    QObject::connect(p.page.get(), &SchedulePage::payeeListNeeded, p.page.get(), [&](store::WorkTableModel* source) { refill.push_back(source); });
    p.click("cmd履歴クリア");
    EXPECT_EQ(month->date(), today);
    EXPECT_EQ(p.sheet().rowCount(), 200);
    EXPECT_TRUE(p.sheet().value(0, 4).isNull());
    const MonthHeader header = p.page->monthHeader();
    EXPECT_FALSE(header.繰越額 || header.予定額月計 || header.支払額月計 || header.累計);
    EXPECT_EQ(refill, std::vector<store::WorkTableModel*>{p.page->findChild<store::WorkTableModel*>("dat支払先名")});

    std::vector<std::pair<int, bool>> seen;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) { seen.emplace_back(value, !bar->isHidden()); });
    p.click("cmd読込");
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{10, true}, {30, true}, {90, true}, {100, true}}));
    EXPECT_TRUE(bar->isHidden());
    EXPECT_EQ(p.sheet().value(0, 4).toString(), "今月");

    // With the field empty neither read nor step touches the sheet.
    ASSERT_TRUE(month->setFromText(""));
    p.sheet().setValue(1, 4, "kept");
    p.sheet().commit();
    for (const char* button : {"cmdMonBef", "cmdMonNext", "cmd読込"})
        p.click(button);
    EXPECT_FALSE(month->date().isValid());
    EXPECT_EQ(p.sheet().value(1, 4).toString(), "kept");
}

TEST(SchedulePage, GridBalancesFollowTheTypedCarryOverAndTheTotalsReadTheSheet)
{
    PageFixture p;
    p.start();
    EXPECT_FALSE(p.field("num繰越額").isReadOnly());
    for (const char* name : {"num予定額月計", "num支払額月計", "num累計"})
        EXPECT_TRUE(p.field(name).isReadOnly()) << name;

    p.field("num繰越額").setAmount(Amount::fromYen(5000));
    auto* grid = p.page->findChild<GridView*>("GridInp");
    store::WorkTableModel& sheet = p.sheet();
    grid->setCurrentCell(0, 5);
    sheet.setData(sheet.index(0, 5), "10000");
    grid->setCurrentCell(1, 6);
    sheet.setData(sheet.index(1, 6), "3000");
    EXPECT_EQ(sheet.data(sheet.index(0, 7)).toString(), "15,000");
    EXPECT_EQ(sheet.data(sheet.index(1, 7)).toString(), "12,000");
    EXPECT_EQ(p.shown(), "5,000 | 10,000 | 3,000 | ");
    EXPECT_EQ(grid->currentIndex(), sheet.index(1, 6));
}
