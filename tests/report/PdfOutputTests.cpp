// The PDF files of the report window, made whole or not at all: the print dialog's
// "print to file" as well as PDF保存.
#include "Msg.h"
#include "PdfOutput.h"
#include "ReportTestSupport.h"
#include "ReportWindow.h"
#include "SmallDisk.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;

namespace {

ReportDocument pagesOfLines(int count)
{
    std::vector<PrintRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({QString::number(i % 28 + 1), QStringLiteral("取引先%1号").arg(i + 1), yen(1000 + i), yen(0), yen(-i)});
    return layoutReport({QDate(2005, 11, 1), "2005年11月", yen(1234567), yen(35100), yen(12000), yen(-1234)}, rows, 0);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The report window with the print dialog answered: print to the given file.
struct PrintingWindow {
    explicit PrintingWindow(const ReportDocument& document)
        : msg(presenter)
        , window(document, msg)
        , saved(&window, &ReportWindow::pdfSaved)
    {
        window.setAttribute(Qt::WA_DeleteOnClose, false);
    }
    void printTo(const QString& file)
    {
        presenter.clear();
        window.askPrinter = [file](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        };
        window.findChild<QPushButton*>("cmd印刷")->click();
    }
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg;
    ReportWindow window;
    QSignalSpy saved;
};

} // namespace

TEST(PdfOutput, AFileCutShortOrMissingIsNoWholePdf)
{
    useReportFonts();
    QTemporaryDir dir;
    const QString whole = dir.filePath("whole.pdf");
    ASSERT_TRUE(writePdfFile(whole, pagesOfLines(60)).isEmpty());
    const QByteArray bytes = TempDataDir::readAll(whole);
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(pdfFileProblem(whole), "");

    const qsizetype xref = bytes.lastIndexOf("\nxref") + 1;
    ASSERT_GT(xref, 1000);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"empty", QByteArray()},
        {"the first half", bytes.left(bytes.size() / 2)},
        {"all but the last line", bytes.left(bytes.lastIndexOf("%%EOF"))},
        {"up to the cross-reference table", bytes.left(xref)},
        {"a block lost in the middle", bytes.left(1000) + bytes.mid(1000 + 4096)},
        {"a byte lost before the table", bytes.left(xref - 20) + bytes.mid(xref - 19)},
        {"the trailer's offset changed", QByteArray(bytes).replace("startxref\n" + QByteArray::number(xref), "startxref\n" + QByteArray::number(xref + 1))},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath("cut.pdf");
        writeFile(path, c.bytes);
        EXPECT_NE(pdfFileProblem(path), "") << c.what;
    }
    EXPECT_NE(pdfFileProblem(dir.filePath("none.pdf")), "");
}

TEST(PdfOutput, PrintingToAFileMakesItWholeOrTellsTheFailureAndLeavesTheFileThatWasThere)
{
    useReportFonts();
    QTemporaryDir dir;
    PrintingWindow w(pagesOfLines(100));

    // Printed to a file: the whole report, by its name, told like PDF保存, nothing else left.
    const QString printed = dir.filePath("印刷.pdf");
    w.printTo(printed);
    EXPECT_TRUE(w.presenter.shown().empty()) << w.presenter.shown().front().text.toStdString();
    EXPECT_EQ(pdfFileProblem(printed), "");
    ASSERT_EQ(w.saved.size(), 1);
    EXPECT_EQ(w.saved.at(0).at(0).toString(), printed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"印刷.pdf"});
    const qint64 size = QFileInfo(printed).size();

    // Printed to a folder that is not there: told, nothing made.
    const QString nowhere = dir.filePath("無い/x.pdf");
    w.printTo(nowhere);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "印刷の失敗");
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::印刷_ファイル失敗, QDir::toNativeSeparators(nowhere)).text);

    SmallDisk full(64);
    if (!full.available())
        GTEST_SKIP() << "no permission to mount a small file system";
    // A full disk: the file that was there stays as it was, and no half-made file is left.
    const QString kept = full.filePath("kept.pdf");
    writeFile(kept, "old contents");
    full.fill();
    w.printTo(kept);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, messages::findMessage(messages::MsgId::印刷_ファイル失敗, QDir::toNativeSeparators(kept)).text);
    EXPECT_EQ(TempDataDir::readAll(kept), "old contents");
    EXPECT_EQ(full.entries(), (QStringList{"filler", "kept.pdf"}));

    // A disk with room for a part of it: the file cut short is refused too.
    SmallDisk small(static_cast<int>(size / 1024 / 2));
    ASSERT_TRUE(small.available());
    const QString cut = small.filePath("cut.pdf");
    w.printTo(cut);
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "印刷の失敗");
    EXPECT_EQ(small.entries(), QStringList());
    EXPECT_EQ(w.saved.size(), 1) << "only the whole file was told as made";

    // The printer still prints to the file the dialog chose, for the next time.
    w.window.askPrinter = [&](QPrinter& printer, QWidget*) {
        EXPECT_EQ(printer.outputFileName(), cut);
        return false;
    };
    w.window.findChild<QPushButton*>("cmd印刷")->click();
}
