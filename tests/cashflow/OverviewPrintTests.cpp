#include "../report/ReportTestSupport.h"

#include "CashFlowModel.h"
#include "Msg.h"
#include "OverviewLayout.h"
#include "OverviewPrint.h"
#include "ReportWindow.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace cashflow;

namespace {

Overview months(int count, int negativeMonth)
{
    Overview o;
    o.first = QDate(2024, 11, 1);
    o.end = o.first.addMonths(count);
    o.開始残高 = yen(500000);
    for (int i = 0; i < count; ++i) {
        const QDate month = o.first.addMonths(i);
        const ledger::Amount low = i == negativeMonth ? yen(-12345) : yen(100000 + i);
        o.months.push_back({month, 1, yen(500000), yen(1000 * i), yen(2000), yen(400000 + i), low, month.addDays(9)});
        o.points.push_back({month.addDays(9), i, low});
    }
    return o;
}

QString run(const char* program, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(program), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(OverviewPrint, ChartOnTheFirstLandscapePageAndEveryMonthOnceInTheTable)
{
    useReportFonts();
    const Overview o = months(36, 3);
    const report::ReportDocument doc = layoutOverview(o, false, QImage(100, 30, QImage::Format_RGB32));
    EXPECT_GT(doc.paper.width(), doc.paper.height());
    ASSERT_EQ(doc.pages.size(), 2u);
    ASSERT_EQ(doc.pages[0].pictures.size(), 1u);
    EXPECT_TRUE(doc.pages[1].pictures.empty());
    int rows = 0;
    for (const report::ReportPage& page : doc.pages) {
        EXPECT_NE(findText(page, "lbl資金繰り表"), nullptr);
        EXPECT_EQ(findText(page, "txt期間")->text, QStringLiteral("2024年11月～2027年10月"));
        for (const report::TextItem& item : page.texts) {
            EXPECT_LE(item.box.bottom(), kLandscapeHeight - kOverviewMargin) << item.name.toStdString();
            EXPECT_LE(item.box.right(), kLandscapeWidth - kOverviewMargin) << item.name.toStdString();
            if (item.name == "txt0")
                ++rows;
        }
        for (const report::TextItem& item : page.texts) {
            if (item.row >= 0) {
                EXPECT_GT(item.box.top(), page.pictures.empty() ? 0 : page.pictures.front().box.bottom());
            }
        }
    }
    EXPECT_EQ(rows, 36);
    const report::TextItem* red = nullptr;
    for (const report::ReportPage& page : doc.pages)
        if (const report::TextItem* item = findText(page, "txt5", 3))
            red = item;
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->text, QStringLiteral("-12,345"));
    EXPECT_EQ(red->color, negativeColor());
    EXPECT_EQ(findText(doc.pages[0], "txt5", 2)->color, QColor(Qt::black));

    EXPECT_EQ(layoutOverview(months(12, -1), true, QImage()).pages.size(), 1u) << "a year fits on one page";
}

TEST(OverviewPrint, PdfIsOneLandscapeA4PageWithTheChartAndTheTableAsText)
{
    useReportFonts();
    const Overview o = months(12, 3);
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    QWidget owner;
    report::ReportWindow* window = openOverviewReport(o, false, msg, &owner);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("資金繰り表 印刷プレビュー"));
    EXPECT_TRUE(window->defaultPdfPath().endsWith("資金繰り表_2024年11月.pdf"));
    ASSERT_EQ(window->document().pages.size(), 1u);
    const QImage& chart = window->document().pages[0].pictures.front().image;
    ASSERT_FALSE(chart.isNull());
    // The chart shows the dip of February in red and the other months in blue.
    int red = 0, blue = 0;
    for (int y = 0; y < chart.height(); y += 3)
        for (int x = 0; x < chart.width(); x += 3) {
            const QColor c = chart.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 190 && c.blue() < 190;
            blue += c.blue() > 180 && c.red() < 190;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(blue, 1000);

    QTemporaryDir dir;
    const QString path = dir.filePath("資金繰り 's.pdf");
    ASSERT_TRUE(window->savePdf(path));
    EXPECT_TRUE(presenter.shown().empty());
    const QString info = run("pdfinfo", {path});
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+84[12](\\.[0-9]+)? x 595(\\.[0-9]+)? pts"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\b"))) << info.toStdString();
    const QString text = run("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"}).simplified();
    if (qEnvironmentVariableIsSet("KEEP_OVERVIEW_PDF"))
        QFile::copy(path, qEnvironmentVariable("KEEP_OVERVIEW_PDF"));
    for (const char* expected : {"資金繰り表", "2024年11月", "2025年10月", "最低残高", "-12,345", "400,011", "10日"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
}
