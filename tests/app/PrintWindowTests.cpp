#include "../report/ReportTestSupport.h"

#include "AmountField.h"
#include "FrmQuorel1.h"
#include "ReportWindow.h"
#include "Session.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;
using report::ReportWindow;

namespace {

// The sheet as the print command finds it: two used lines around a line without a payee.
void putSheet(FrmQuorel1& window)
{
    auto& work = window.session().workDb();
    store::exec(work, "DELETE FROM InpWork");
    addSheetLine(work, 1, "07", "北海商事", 50000, 0, 150000);
    addSheetLine(work, 2, "09", {}, 8000, 0, 142000);
    addSheetLine(work, 3, "25", "家賃", 0, 80000, -1234);
    auto* datInp = window.findChild<store::WorkTableModel*>("datInp");
    ASSERT_NE(datInp, nullptr);
    datInp->refresh();
}

QList<ReportWindow*> reportWindows(FrmQuorel1& window)
{
    return window.findChildren<ReportWindow*>();
}

const report::TextItem& headerText(const ReportWindow& report, const char* name)
{
    static const report::TextItem missing{};
    const report::TextItem* item = findText(report.document().pages.at(0), QString::fromUtf8(name));
    return item ? *item : missing;
}

} // namespace

TEST(PrintWindow, PrintButtonOpensAReportOfTheStoredSheetInEraYearsWithTheRuledLineColour)
{
    useReportFonts();
    TempDataDir dir;
    {
        auto session = store::Session::open(dir.path());
        store::exec(session->mainDb(), "INSERT INTO 自社情報 (年号, 支払先自動登録, LineColor1) VALUES ('和暦', 1, 255)");
    }
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    FrmQuorel1& window = *started.window;
    presenter.clear();
    putSheet(window);
    window.findChild<YearMonthEdit*>("Dt年月")->setDate(QDate(2005, 11, 30));
    window.findChild<AmountField*>("num繰越額")->setAmount(yen(100000));
    window.findChild<AmountField*>("num予定額月計")->setAmount(yen(58000));
    window.findChild<AmountField*>("num支払額月計")->setAmount(yen(80000));
    window.findChild<AmountField*>("num累計")->setAmount(yen(-1234));

    // An edit still held in the grid's current line is not part of the print-out.
    auto* datInp = window.findChild<store::WorkTableModel*>("datInp");
    datInp->setValue(1, datInp->fieldIndex("支払先名"), "未確定の行");
    ASSERT_TRUE(datInp->hasPending());

    auto* print = window.findChild<QPushButton*>("Cmd印刷");
    ASSERT_NE(print, nullptr);
    print->click();
    print->click();
    EXPECT_TRUE(presenter.shown().empty()) << "printing asks nothing";

    const auto reports = reportWindows(window);
    ASSERT_EQ(reports.size(), 2);
    const ReportWindow& report = *reports[0];
    EXPECT_TRUE(report.isVisible());
    EXPECT_TRUE(report.isWindow());
    EXPECT_EQ(headerText(report, "txt年月").text, "平成 17年11月");
    EXPECT_EQ(headerText(report, "txt繰越額").text, "100,000");
    EXPECT_EQ(headerText(report, "txt予定額月計").text, "58,000");
    EXPECT_EQ(headerText(report, "txt支払額月計").text, "80,000");
    EXPECT_EQ(headerText(report, "txt予定額累計").text, "-1,234");
    EXPECT_EQ(headerText(report, "Label1").color, QColor(255, 0, 0));
    EXPECT_EQ(headerText(report, "Label3").color, QColor(Qt::black));

    const report::ReportPage& page = report.document().pages.at(0);
    QStringList printed;
    for (const auto& item : page.texts)
        if (item.name == "txt支払先名")
            printed << item.text;
    EXPECT_EQ(printed, QStringList({"北海商事", "家賃"}));
    EXPECT_EQ(findText(page, "txt残高", 1)->text, "-1,234");
    EXPECT_EQ(QFileInfo(report.defaultPdfPath()).fileName(), "支払予定表_2005年11月.pdf");

    // The second press made the same report from a freshly filled print table.
    EXPECT_EQ(describe(reports[1]->document()), describe(report.document()));
    EXPECT_EQ(store::scalar(window.session().workDb(), "SELECT count(*) FROM InpWork印刷").toLongLong(), 2);

    // Closing a report window removes it; the main window stays.
    reports[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(reportWindows(window).size(), 1);
}

TEST(PrintWindow, WithoutSettingsOrMonthTheReportIsBlackWithBlankCaptionAndBlankTotals)
{
    TempDataDir dir;
    ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(dir.path(), presenter);
    ASSERT_TRUE(started.window);
    FrmQuorel1& window = *started.window;
    putSheet(window);
    window.findChild<AmountField*>("num繰越額")->setAmount(yen(0));
    window.findChild<AmountField*>("num予定額月計")->setAmount(yen(58000));
    window.findChild<AmountField*>("num累計")->clearValue();

    auto* yearMonth = window.findChild<YearMonthEdit*>("Dt年月");
    yearMonth->setDate(QDate(2005, 11, 1));
    window.findChild<QPushButton*>("Cmd印刷")->click();
    yearMonth->setDate(QDate());
    window.findChild<QPushButton*>("Cmd印刷")->click();

    const auto reports = reportWindows(window);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(headerText(*reports[0], "txt年月").text, "2005年11月");
    const ReportWindow& report = *reports[1];
    EXPECT_EQ(headerText(report, "txt年月").text, "");
    EXPECT_EQ(headerText(report, "txt繰越額").text, "");
    EXPECT_EQ(headerText(report, "txt予定額月計").text, "58,000");
    EXPECT_EQ(headerText(report, "txt予定額累計").text, "");
    for (const auto& rule : report.document().pages.at(0).rules)
        EXPECT_EQ(rule.color, QColor(Qt::black)) << rule.name.toStdString();
    EXPECT_EQ(headerText(report, "Label1").color, QColor(Qt::black));
    EXPECT_EQ(QFileInfo(report.defaultPdfPath()).fileName(), "支払予定表.pdf");
    EXPECT_EQ(report.document().pages.at(0).rules.size(), 2u + 2u);
}
