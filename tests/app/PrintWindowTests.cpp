#include "../report/ReportTestSupport.h"

#include "AmountField.h"
#include "MainWindow.h"
#include "GridEditing.h"
#include "MainWindowHarness.h"
#include "ReportWindow.h"
#include "SheetColumns.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

using report::ReportWindow;

namespace {

// The sheet as the print command finds it: two used lines around a line without a payee.
void putSheet(MainWindowHarness& w)
{
    using namespace schedule;
    w.put(0, kCol表示日付, "7");
    w.put(0, kCol支払先名, "北海商事");
    w.put(0, kCol予定額, "50000");
    w.put(1, kCol表示日付, "9");
    w.put(1, kCol予定額, "8000");
    w.put(2, kCol表示日付, "25");
    w.put(2, kCol支払先名, "家賃");
    w.put(2, kCol支払額, "80000");
}

// The carry-over typed into its field as the user does.
void typeCarry(MainWindowHarness& w, const QString& text)
{
    auto* field = w.find<AmountField>("num繰越額");
    field->setFocus();
    field->setText(text);
    emit field->editingFinished();
}

QList<ReportWindow*> reportWindows(MainWindow& window)
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
    MainWindowHarness w;
    seed::storeSettings(w.dir(), "和暦", 1, 255);
    ASSERT_TRUE(w.start());
    MainWindow& window = w.window();
    w.presenter.clear();
    putSheet(w);
    typeCarry(w, "100000");
    w.yearMonth()->setDate(QDate(2005, 11, 30));
    w.find<AmountField>("num予定額月計")->setAmount(yen(58000));
    w.find<AmountField>("num支払額月計")->setAmount(yen(80000));
    w.find<AmountField>("num累計")->setAmount(yen(-1234));

    w.click("Cmd印刷");
    w.click("Cmd印刷");
    EXPECT_TRUE(w.presenter.shown().empty()) << "printing asks nothing";

    const auto reports = reportWindows(window);
    ASSERT_EQ(reports.size(), 1) << "a second press brings the month's preview to the front";
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
    // The typed carry-over moved the sheet's balances as the save would store them.
    EXPECT_EQ(findText(page, "txt残高", 1)->text, "70,000");
    EXPECT_EQ(w.cell(2, schedule::kCol残高), "70,000");
    EXPECT_EQ(QFileInfo(report.defaultPdfPath()).fileName(), "支払予定表_2005年11月.pdf");

    EXPECT_EQ(store::scalar(w.workDb(), "SELECT count(*) FROM InpWork印刷").toLongLong(), 2);

    // A press after the sheet changed shows the sheet as it is now in the same window.
    w.put(1, schedule::kCol支払先名, "追加の行");
    w.click("Cmd印刷");
    ASSERT_EQ(reportWindows(window), reports);
    EXPECT_EQ(findText(reports[0]->document().pages.at(0), "txt支払先名", 1)->text, "追加の行");

    // Closing the report window removes it; the main window stays, and the next press
    // opens a new preview.
    reports[0]->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(reportWindows(window).size(), 0);
    w.click("Cmd印刷");
    EXPECT_EQ(reportWindows(window).size(), 1);
}

TEST(PrintWindow, WithoutSettingsOrMonthTheReportIsBlackWithBlankCaptionAndBlankTotals)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    MainWindow& window = w.window();
    putSheet(w);
    w.find<AmountField>("num繰越額")->setAmount(yen(0));
    w.find<AmountField>("num予定額月計")->setAmount(yen(58000));
    w.find<AmountField>("num累計")->clearValue();

    w.yearMonth()->setDate(QDate(2005, 11, 1));
    w.click("Cmd印刷");
    w.yearMonth()->setDate(QDate());
    w.click("Cmd印刷");

    const auto reports = reportWindows(window);
    ASSERT_EQ(reports.size(), 2) << "another month opens a preview of its own";
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
