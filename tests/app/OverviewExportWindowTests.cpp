#include "MainWindowHarness.h"

#include "ExportCommand.h"
#include "ReportWindow.h"
#include "TextCodec.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using exchange::CsvEncoding;
using exchange::ExportChoice;
using exchange::ExportCommand;
using exchange::ExportFormat;
using seed::StoredLine;

TEST(OverviewExportWindow, CashFlowPageWritesTheShownMonthsInTheBooksYearStyleAndReportsAFileItCannotWrite)
{
    MainWindowHarness w;
    seed::storeLines(w.dir(), {StoredLine{QDate(2025, 12, 10), 1, "家賃", 0, 80000, -80000}, StoredLine{QDate(2026, 1, 5), 1, "入金", 100000, 0, 20000}});
    seed::storeSettings(w.dir(), "和暦", 1, 0);
    ASSERT_TRUE(w.startOn(QDate(2025, 12, 1)));
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::CashFlow);
    w.find<QSpinBox>("num月数")->setValue(2);

    QString subject;
    QString suggested;
    QString target = w.dir().filePath("なし/資金繰り");
    ExportCommand& command = w.window().exportCommand();
    command.askFormat = [&](const QString& asked, QWidget*) {
        subject = asked;
        return std::optional<ExportChoice>(ExportChoice{ExportFormat::Csv, CsvEncoding::Cp932, QDate(), QDate()});
    };
    command.askPath = [&](const QString& offered, ExportFormat, QWidget*) {
        suggested = offered;
        return target;
    };

    w.click("cmd資金繰り出力", true);
    EXPECT_EQ(subject, "資金繰り表 (令和 07年12月～令和 08年01月)");
    EXPECT_TRUE(suggested.endsWith("/資金繰り表_2025年12月-2026年01月.csv")) << suggested.toStdString();
    EXPECT_EQ(w.lastBox(), "出力の失敗: " + QDir::toNativeSeparators(target + ".csv") + " に出力できませんでした。出力先のファイルは元のままです。ディスクの空きと書き込みの権限を確認してください。");
    EXPECT_FALSE(QDir(w.dir().filePath("なし")).exists());

    // The page's shortcut runs the same command.
    target = w.dir().filePath("資金繰り");
    w.presenter.clear();
    QTest::keyClick(w.find<QSpinBox>("num月数"), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    // A button's shortcut presses it after its brief pressed look.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(w.dir().filePath("資金繰り.csv")); }, 2000));
    EXPECT_TRUE(w.presenter.shown().empty()) << w.lastBox().toStdString();
    EXPECT_EQ(TempDataDir::readAll(w.dir().filePath("資金繰り.csv")),
        *exchange::cp932::encode("年月,繰越額,予定額計,支払額計,月末残高,最低残高,最低日\r\n"
                       "令和 07年12月,0,0,80000,-80000,-80000,2025/12/10\r\n"
                       "令和 08年01月,-80000,100000,0,20000,-80000,2026/01/01\r\n"));

    // The overview's print preview writes the same overview from its own button.
    target = w.dir().filePath("資金繰り-preview");
    w.click("cmd資金繰り印刷");
    w.click("cmd資金繰り印刷");
    ASSERT_EQ(w.window().findChildren<report::ReportWindow*>().size(), 1) << "one preview, brought to the front again";
    auto* preview = w.window().findChild<report::ReportWindow*>();
    preview->findChild<QPushButton*>("cmd出力")->click();
    EXPECT_TRUE(QFile::exists(target + ".csv"));
    preview->close();
}
