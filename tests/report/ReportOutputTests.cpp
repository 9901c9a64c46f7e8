#include "Msg.h"
#include "PrintCommand.h"
#include "ReportRenderer.h"
#include "ReportTestSupport.h"
#include "ReportWindow.h"
#include "Session.h"
#include "SmallDisk.h"
#include "TempDataDir.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;

namespace {

QString pdfText(const QString& path)
{
    QProcess process;
    process.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

ReportHeader header()
{
    return {QDate(2005, 11, 1), "2005年11月", yen(1234567), yen(35100), yen(12000), yen(-1234)};
}

std::vector<PrintRow> manyRows(int count)
{
    std::vector<PrintRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QStringLiteral("%1").arg(i % 30 + 1, 2, 10, QLatin1Char('0')), QStringLiteral("取引先%1号").arg(i + 1), yen(1000 + i), yen(0), yen(-i)});
    return rows;
}

} // namespace

TEST(ReportOutput, PdfOfAMonthCarriesCaptionTotalsAndPayeesAsText)
{
    useReportFonts();
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    auto& work = session->workDb();
    addSheetLine(work, 1, "15", "O'Brien 商会", 30000, 0, 30000);
    addSheetLine(work, 2, "03", {}, 5000, 0, 35000);
    addSheetLine(work, 3, "01", "東京電力", 0, 12000, 18000);

    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    ReportWindow window(layoutReport(header(), collectPrintRows(work), 255), msg);
    const QString path = dir.filePath("月報 's.pdf");
    ASSERT_TRUE(window.savePdf(path));
    EXPECT_TRUE(presenter.shown().empty());

    // The text extractor turns full-width blanks into plain ones and squeezes runs of blanks.
    const QString text = pdfText(path).simplified();
    for (const char* expected : {"支払予定表", "2005年11月", "繰越額", "予定額月計", "支払額月計", "予定額累計", "支　払　先　名",
             "1,234,567", "35,100", "12,000", "-1,234", "O'Brien 商会", "東京電力", "30,000", "18,000"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected).replace(QChar(0x3000), ' '))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("5,000")) << "a line without a payee was printed";
    EXPECT_FALSE(text.contains("年月")) << "the hidden label was printed";
    EXPECT_EQ(pdfText(path).count('\f'), 1);
}

TEST(ReportOutput, TwoHundredLinesFillEveryPageWithHeader)
{
    useReportFonts();
    QTemporaryDir dir;
    const ReportDocument doc = layoutReport(header(), manyRows(200), 0);
    const QString pdf = dir.filePath("lines.pdf");
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    ASSERT_TRUE(ReportWindow(doc, msg).savePdf(pdf));
    const QString text = pdfText(pdf);
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    const qsizetype expectedPages = static_cast<qsizetype>(doc.pages.size());
    ASSERT_EQ(pages.size() - (pages.last().trimmed().isEmpty() ? 1 : 0), expectedPages);
    for (qsizetype p = 0; p < expectedPages; ++p) {
        EXPECT_TRUE(pages[p].contains("支払予定表")) << p;
        EXPECT_TRUE(pages[p].contains("1,234,567")) << p;
    }
    for (int i = 1; i <= 200; ++i)
        EXPECT_TRUE(text.contains(QStringLiteral("取引先%1号").arg(i))) << i;
    EXPECT_TRUE(pages[expectedPages - 1].contains("取引先200号"));
    EXPECT_TRUE(pages[expectedPages - 1].contains("-199"));
}

TEST(ReportOutput, WindowPagesThroughThePreviewAndSavesUnderAMonthName)
{
    useReportFonts();
    QTemporaryDir dir;
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    ReportWindow window(layoutReport(header(), manyRows(100), 0), msg);
    window.show();
    EXPECT_EQ(window.windowTitle(), "支払予定表 印刷プレビュー");
    EXPECT_EQ(QFileInfo(window.defaultPdfPath()).fileName(), "支払予定表_2005年11月.pdf");

    const int pages = static_cast<int>(window.document().pages.size());
    ASSERT_EQ(window.pageCount(), pages);
    ASSERT_GT(pages, 1);
    auto* previous = window.findChild<QPushButton*>("cmd前頁");
    auto* next = window.findChild<QPushButton*>("cmd次頁");
    ASSERT_TRUE(previous && next);
    EXPECT_EQ(window.currentPage(), 1);
    EXPECT_FALSE(previous->isEnabled());
    for (int i = 1; i < pages; ++i)
        next->click();
    EXPECT_EQ(window.currentPage(), pages);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(window.findChild<QLabel*>("lblPage")->text(), QStringLiteral("%1 / %1").arg(pages));
    previous->click();
    EXPECT_EQ(window.currentPage(), pages - 1);

    // PDF保存: the dialog offers the month's name; a name without ".pdf" gets it.
    QString offered;
    window.askPdfPath = [&](const QString& suggested, QWidget*) {
        offered = suggested;
        return dir.filePath("保存先");
    };
    window.findChild<QPushButton*>("cmdPDF保存")->click();
    EXPECT_EQ(offered, window.defaultPdfPath());
    EXPECT_GT(QFileInfo(dir.filePath("保存先.pdf")).size(), 0);

    // Cancelling the dialog writes nothing; a file that cannot be written is reported.
    window.askPdfPath = [](const QString&, QWidget*) { return QString(); };
    window.findChild<QPushButton*>("cmdPDF保存")->click();
    EXPECT_TRUE(presenter.shown().empty());
    const QString blocked = dir.filePath("無い/フォルダ/x.pdf");
    EXPECT_FALSE(window.savePdf(blocked));
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(presenter.shown()[0].title, "印刷の失敗");
    EXPECT_TRUE(presenter.shown()[0].text.startsWith(QDir::toNativeSeparators(blocked)));
    // On a full disk the PDF is refused as a whole: no file of size 0, no half-made file.
    SmallDisk disk(64);
    if (disk.available()) {
        disk.fill();
        presenter.clear();
        EXPECT_FALSE(window.savePdf(disk.filePath("満杯.pdf")));
        ASSERT_EQ(presenter.shown().size(), 1u);
        EXPECT_EQ(presenter.shown()[0].title, "印刷の失敗");
        EXPECT_EQ(disk.entries(), QStringList{"filler"});
        presenter.clear();
    }

    // 印刷 asks the print dialog first and prints only when it is accepted.
    int asked = 0;
    window.askPrinter = [&](QPrinter& printer, QWidget*) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("printer.pdf"));
        return asked > 1;
    };
    window.findChild<QPushButton*>("cmd印刷")->click();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("printer.pdf")));
    window.findChild<QPushButton*>("cmd印刷")->click();
    EXPECT_EQ(pdfText(dir.filePath("printer.pdf")), pdfText(dir.filePath("保存先.pdf")));
}

TEST(ReportOutput, TextsTooWideForTheirBoxAreSetSmallerNotCut)
{
    useReportFonts();
    TextItem item;
    item.family = reportFontFamily();
    item.pointSize = 10;
    item.box = QRectF(0, 0, 1512, 283);
    item.text = "123";
    EXPECT_EQ(fittedFont(item).pixelSize(), 200);
    item.text = ledger::Amount::fromUnits(9'000'000'000'000'000'000).format();
    const QFont font = fittedFont(item);
    EXPECT_LT(font.pixelSize(), 200);
    EXPECT_GE(font.pixelSize(), 120);
    EXPECT_LE(QFontMetricsF(font).horizontalAdvance(item.text), item.box.width() * 1.01);
}
