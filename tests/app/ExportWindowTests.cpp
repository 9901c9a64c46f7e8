#include "MainWindow.h"
#include "ReportWindow.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "StatusLine.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"
#include "YearMonthEdit.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using messages::ScriptedMessagePresenter;
using namespace exchange;

namespace {

struct ExportWindow {
    explicit ExportWindow(TempDataDir& dir)
    {
        {
            auto session = store::Session::open(dir.path());
            store::exec(session->mainDb(), "INSERT INTO 支払予定表 VALUES ('2026-12-05', 1, '北海商事', 500000000, 0, 500000000)");
            store::exec(session->mainDb(), "INSERT INTO 支払予定表 VALUES ('2026-12-09', 2, '寿司🍣', 0, 10000, 499990000)");
        }
        started = startQuorel1(dir.path(), presenter);
        if (!started.window)
            return;
        window().findChild<YearMonthEdit*>("Dt年月")->setDate(QDate(2026, 12, 1));
        window().findChild<QPushButton*>("cmd読込")->click();
        presenter.clear();
    }
    MainWindow& window() { return *started.window; }

    // Answers the export's two dialogs: the choice (keeping the month it was offered) and
    // the file, written without its suffix as a user may type it.
    void answer(ExportFormat format, const QString& pathWithoutSuffix)
    {
        window().exportCommand().askChoice = [this, format](const QDate& shown, QWidget*) {
            offered = shown;
            return ExportChoice{format, CsvEncoding::Cp932, shown, shown};
        };
        window().exportCommand().askPath = [pathWithoutSuffix](const QString&, ExportFormat, QWidget*) { return pathWithoutSuffix; };
    }

    ScriptedMessagePresenter presenter;
    StartupOutcome started;
    QDate offered;
};

} // namespace

TEST(ExportWindow, ScheduleAndReportExportTheShownMonthAndNameLinesCp932CannotHold)
{
    TempDataDir dir;
    ExportWindow w(dir);
    ASSERT_TRUE(w.started.window);
    auto* scheduleButton = w.window().findChild<QPushButton*>("cmd出力");
    ASSERT_NE(scheduleButton, nullptr);

    w.answer(ExportFormat::Xlsx, dir.filePath("月"));
    scheduleButton->click();
    EXPECT_EQ(w.offered, QDate(2026, 12, 1));
    EXPECT_TRUE(w.presenter.shown().empty());
    EXPECT_TRUE(TempDataDir::readAll(dir.filePath("月.xlsx")).startsWith("PK"));

    // CSV in Shift_JIS: the line with the emoji is named first; No writes nothing, Yes UTF-8.
    w.answer(ExportFormat::Csv, dir.filePath("月.csv"));
    w.presenter.pushAnswer(false);
    scheduleButton->click();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "文字コードの確認");
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("2026/12/09 「寿司🍣」: 🍣"));
    EXPECT_FALSE(QFile::exists(dir.filePath("月.csv")));

    w.window().findChild<QPushButton*>("Cmd印刷")->click();
    auto* report = w.window().findChild<report::ReportWindow*>();
    ASSERT_NE(report, nullptr);
    w.presenter.clear();
    w.presenter.pushAnswer(true);
    w.offered = {};
    report->findChild<QPushButton*>("cmd出力")->click();
    EXPECT_EQ(w.offered, QDate(2026, 12, 1));
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(TempDataDir::readAll(dir.filePath("月.csv")),
        QByteArray("\xEF\xBB\xBF") + QStringLiteral("日付,支払先名,予定額,支払額,残高\r\n2026/12/05,北海商事,50000,0,50000\r\n2026/12/09,寿司🍣,0,1,49999\r\n").toUtf8());
    report->close();
}

TEST(ExportWindow, EachWrittenFileIsNamedInTheStatusLineWithAButtonToItsFolder)
{
    TempDataDir dir;
    ExportWindow w(dir);
    ASSERT_TRUE(w.started.window);
    auto* status = w.window().findChild<QLabel*>("lblStatus");
    auto* folder = w.window().findChild<QPushButton*>("cmdフォルダを開く");
    ASSERT_TRUE(status && folder);
    QString opened;
    w.window().findChild<StatusLine*>()->openFolder = [&](const QString& path) { opened = path; };
    const QString nativeDir = QDir::toNativeSeparators(QDir(dir.path()).absolutePath());

    w.answer(ExportFormat::Xlsx, dir.filePath("月"));
    w.window().findChild<QPushButton*>("cmd出力")->click();
    EXPECT_EQ(status->text(), QDir::toNativeSeparators(dir.filePath("月.xlsx")) + " に出力しました。");
    EXPECT_FALSE(folder->isHidden());
    folder->click();
    EXPECT_EQ(QDir::toNativeSeparators(opened), nativeDir);

    // A cancelled export leaves the line as it was; a PDF saved from the report is named.
    w.window().exportCommand().askPath = [](const QString&, ExportFormat, QWidget*) { return QString(); };
    w.window().findChild<QPushButton*>("cmd出力")->click();
    EXPECT_TRUE(status->text().endsWith("月.xlsx に出力しました。"));
    w.window().findChild<QPushButton*>("Cmd印刷")->click();
    auto* report = w.window().findChild<report::ReportWindow*>();
    ASSERT_NE(report, nullptr);
    report->askPdfPath = [&](const QString&, QWidget*) { return dir.filePath("月報"); };
    report->findChild<QPushButton*>("cmdPDF保存")->click();
    EXPECT_TRUE(QFile::exists(dir.filePath("月報.pdf")));
    EXPECT_EQ(status->text(), QDir::toNativeSeparators(dir.filePath("月報.pdf")) + " に出力しました。");
    report->close();

    // The overview's CSV from the cash-flow page too.
    w.window().exportCommand().askFormat = [](const QString&, QWidget*) { return ExportChoice{ExportFormat::Csv, CsvEncoding::Utf8Bom, {}, {}}; };
    w.window().exportCommand().askPath = [&](const QString&, ExportFormat, QWidget*) { return dir.filePath("資金繰り.csv"); };
    w.window().findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    w.window().findChild<QPushButton*>("cmd資金繰り出力")->click();
    EXPECT_EQ(status->text(), QDir::toNativeSeparators(dir.filePath("資金繰り.csv")) + " に出力しました。");
    EXPECT_TRUE(w.presenter.shown().empty());
}

TEST(ExportWindow, PayeeImportShowsTheNewNamesAddsThemAndThePageShowsTheMaster)
{
    TempDataDir dir;
    ExportWindow w(dir);
    ASSERT_TRUE(w.started.window);
    store::exec(w.window().session().mainDb(), "INSERT INTO 支払先マスタ VALUES ('北海商事')");
    QFile list(dir.filePath("names.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(QStringLiteral("北海商事\r\n新しい店\r\n\r\n新しい店\r\nO'Neil\r\n").toUtf8());
    list.close();
    w.window().payeeImportCommand().askFile = [&](QWidget*) { return std::pair{list.fileName(), TextEncoding::Detect}; };
    auto* button = w.window().findChild<QPushButton*>("cmd支払先取込");
    ASSERT_NE(button, nullptr);

    w.presenter.pushAnswer(false);
    button->click();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].text, "次の支払先を追加します。よろしいですか\n\n新しい店\nO'Neil\n\n登録済みの 1 件は追加しません。");
    EXPECT_EQ(store::scalar(w.window().session().mainDb(), "SELECT count(*) FROM 支払先マスタ").toInt(), 1);

    w.presenter.clear();
    w.presenter.pushAnswer(true);
    button->click();
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_EQ(w.presenter.shown()[1].text, "支払先 2 件を追加しました。");
    auto* page = w.window().findChild<QAbstractItemModel*>("dat支払先マスタ");
    ASSERT_NE(page, nullptr);
    QStringList shown;
    for (int row = 0; row < page->rowCount(); ++row)
        shown << page->data(page->index(row, 1)).toString();
    // Japanese order: 新 (シン) before 北 (ホク).
    EXPECT_EQ(shown.mid(0, 3), (QStringList{"O'Neil", "新しい店", "北海商事"}));
}
