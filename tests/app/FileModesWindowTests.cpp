// Every kind of file the program writes, made through the real window and its commands
// under the usual umask 022, is the user's alone: 0600, its folders 0700.

#include "AccountStore.h"
#include "ExportCommand.h"
#include "FileModes.h"
#include "FirstStart.h"
#include "GridView.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "PayeeExportCommand.h"
#include "ReportWindow.h"
#include "Session.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "TransferCommand.h"
#include "TransferDialog.h"
#include "Transaction.h"
#include "WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kMonth(2027, 3, 1);
const QDate kDay(2027, 3, 25);

// A kind of file, where one was made, and its mode when it was there.
struct Made {
    QString kind;
    QString path;
    unsigned mode;
};

class MadeFiles {
public:
    // Notes the mode now: some files (the lock, the journal) are gone later.
    void note(const QString& kind, const QString& path) { made_.push_back({kind, path, modeOf(path)}); }
    // The one file of the folder whose name matches, or a name no file has.
    void noteMatching(const QString& kind, const QString& folder, const QString& pattern)
    {
        const QStringList names = QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden);
        note(kind, names.size() == 1 ? QDir(folder).filePath(names[0]) : folder + QStringLiteral("/<%1 files %2>").arg(names.size()).arg(pattern));
    }
    const std::vector<Made>& all() const { return made_; }

private:
    std::vector<Made> made_;
};

// A book that the transfer command can make a file of: the sender, one payee with its
// account and a line of the day.
void seedTransfer(TempDataDir& dir)
{
    seed::storeLines(dir, {{kDay, 1, "田中", 100000, 0, 100000}});
    seed::storePayees(dir, {QStringLiteral("田中")});
    auto session = store::Session::open(dir.path());
    banking::AccountStore accounts(session->mainDb());
    const banking::BankAccount account{QStringLiteral("0001"), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), banking::AccountType::Ordinary,
        QStringLiteral("1234567"), QStringLiteral("ﾀﾅｶ")};
    accounts.savePayeeAccount({QStringLiteral("田中"), account, {}});
    banking::Sender sender;
    sender.code = QStringLiteral("0123456789");
    sender.name = QStringLiteral("ﾄﾊﾞ-ｸ");
    sender.account = account;
    sender.account.holder.clear();
    accounts.saveSender(sender);
}

// A journal as a program killed in the middle of a commit leaves it: found and kept at start.
void leaveCrashJournal(const TempDataDir& dir)
{
    QFile journal(dir.mainPath() + QStringLiteral("-journal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write(QByteArray::fromHex("d9d505f920a163d7") + QByteArray(504, '\0'));
}

// PDF保存 and 印刷 to a file in a report window.
void writeReport(report::ReportWindow& window, const QString& base, const QString& kind, MadeFiles& made)
{
    window.askPdfPath = [base](const QString&, QWidget*) { return base + QStringLiteral(".pdf"); };
    window.findChild<QPushButton*>(QStringLiteral("cmdPDF保存"))->click();
    made.note(kind + QStringLiteral(" PDF"), base + QStringLiteral(".pdf"));
    window.askPrinter = [base](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(base + QStringLiteral("-printed.pdf"));
        return true;
    };
    window.findChild<QPushButton*>(QStringLiteral("cmd印刷"))->click();
    made.note(kind + QStringLiteral(" printed to a file"), base + QStringLiteral("-printed.pdf"));
}

report::ReportWindow* reportNamed(MainWindowHarness& w, const QString& prefix)
{
    for (auto* window : w.window().findChildren<report::ReportWindow*>())
        if (window->document().name.startsWith(prefix))
            return window;
    ADD_FAILURE() << "no report " << prefix.toStdString();
    return nullptr;
}

// The files of the running program beside the book: lock, the work file's log, the main
// file's journal while a transaction is open, the backups of the day and of the crash.
void noteDataFolder(MainWindowHarness& w, MadeFiles& made)
{
    const TempDataDir& dir = w.dir();
    made.note("data folder", dir.path());
    made.note("backup folder", dir.filePath("backup"));
    made.note("main file", dir.mainPath());
    made.note("work file (the draft)", dir.workPath());
    made.note("work file's log", dir.workPath() + "-wal");
    made.note("work file's shared memory", dir.workPath() + "-shm");
    made.note("lock", dir.filePath("Quorel1.lock"));
    {
        store::Transaction transaction(w.mainDb());
        store::exec(w.mainDb(), "UPDATE 支払予定表 SET 行番号 = 行番号");
        made.note("main file's journal", dir.mainPath() + "-journal");
    }
    made.noteMatching("backup of the day", dir.filePath("backup"), "Quorel1_*_daily.mdb");
    made.noteMatching("book kept beside a crash journal", dir.filePath("backup"), "Quorel1_*_journal.mdb");
    made.noteMatching("crash journal kept", dir.filePath("backup"), "Quorel1_*_journal.journal");
}

void writeExports(MainWindowHarness& w, const QString& folder, MadeFiles& made)
{
    exchange::ExportCommand& exports = w.window().exportCommand();
    for (const exchange::ExportFormat format : {exchange::ExportFormat::Xlsx, exchange::ExportFormat::Csv}) {
        const QString path = QDir(folder).filePath(QStringLiteral("月.") + exchange::formatSuffix(format));
        exports.askChoice = [format](const QDate& shown, QWidget*) { return exchange::ExportChoice{format, exchange::CsvEncoding::Cp932, shown, shown}; };
        exports.askPath = [path](const QString&, exchange::ExportFormat, QWidget*) { return path; };
        w.click("cmd出力", true);
        made.note(QStringLiteral("month export ") + exchange::formatSuffix(format), path);
    }
    const QString overview = QDir(folder).filePath(QStringLiteral("資金繰り.xlsx"));
    exports.askFormat = [](const QString&, QWidget*) { return std::optional(exchange::ExportChoice{exchange::ExportFormat::Xlsx}); };
    exports.askPath = [overview](const QString&, exchange::ExportFormat, QWidget*) { return overview; };
    w.showPage(MainWindowHarness::CashFlow);
    w.click("cmd資金繰り出力", true);
    EXPECT_TRUE(w.presenter.shown().empty()) << w.lastBox().toStdString();
    made.note("overview export xlsx", overview);

    const QString payees = QDir(folder).filePath(QStringLiteral("支払先.csv"));
    w.window().payeeExportCommand().askPath = [payees](const QString&, QWidget*) { return payees; };
    w.click("cmd支払先出力", true);
    made.note("payee list csv", payees);
}

void writeReportsAndTransfer(MainWindowHarness& w, const QString& folder, MadeFiles& made)
{
    w.click("Cmd印刷");
    if (auto* month = reportNamed(w, QStringLiteral("支払予定表")))
        writeReport(*month, QDir(folder).filePath(QStringLiteral("月報")), QStringLiteral("month report"), made);
    w.click("cmd資金繰り印刷");
    if (auto* overview = reportNamed(w, QStringLiteral("資金繰り表")))
        writeReport(*overview, QDir(folder).filePath(QStringLiteral("資金繰り表")), QStringLiteral("overview report"), made);

    const QString transfer = QDir(folder).filePath(QStringLiteral("振込.txt"));
    banking::TransferCommand& command = w.window().transferCommand();
    command.today = [] { return kDay.addDays(-1); };
    command.askChoice = [](banking::TransferDialog& dialog) { return banking::TransferChoice{dialog.day(), dialog.chosen()}; };
    command.askPath = [transfer](const QString&, QWidget*) { return transfer; };
    w.grid()->setCurrentCell(0, schedule::kCol支払先名);
    w.click("cmd振込データ", false);
    made.note("transfer file", transfer);
    if (auto* list = reportNamed(w, QStringLiteral("振込一覧")))
        writeReport(*list, QDir(folder).filePath(QStringLiteral("振込一覧")), QStringLiteral("transfer list"), made);
}

} // namespace

TEST(FileModes, EveryKindOfFileTheProgramWritesIsTheUsersAlone)
{
    Umask mask(022);
    TempDataDir dir;
    QDir(dir.path()).removeRecursively();
    messages::ScriptedMessagePresenter firstStart;
    messages::Msg msg(firstStart);
    firstStart.setDefaultAnswer(true);
    ASSERT_EQ(prepareDataFolder({dir.path(), true}, msg), FirstStartOutcome::Ready);
    seedTransfer(dir);
    leaveCrashJournal(dir);

    QTemporaryDir exports;
    MadeFiles made;
    const QString settingsPath = QDir(exports.path()).filePath(QStringLiteral("Quorel1.conf"));
    {
        MainWindowHarness w(dir);
        w.presenter.setDefaultAnswer(true);
        ASSERT_TRUE(w.startOn(kMonth));
        ASSERT_TRUE(w.show());
        QSettings settings(settingsPath, QSettings::IniFormat);
        WindowPlacement placement(w.window(), w.window().findChild<QTabWidget*>(QStringLiteral("SSTab1")), settings);
        ASSERT_TRUE(w.put(1, schedule::kCol支払先名, QStringLiteral("下書き")));
        noteDataFolder(w, made);
        writeExports(w, exports.path(), made);
        writeReportsAndTransfer(w, exports.path(), made);
        w.close();
    }
    made.note("window placement", settingsPath);

    // A main file that cannot be opened is kept aside and the newest good backup put back.
    {
        QFile main(dir.mainPath());
        ASSERT_TRUE(main.open(QIODevice::WriteOnly | QIODevice::Truncate));
        main.write("no book");
    }
    messages::ScriptedMessagePresenter agree;
    agree.setDefaultAnswer(true);
    StartupOutcome rescued = startQuorel1(dir.path(), agree);
    ASSERT_TRUE(rescued.window);
    made.note("main file put back from a backup", dir.mainPath());
    made.noteMatching("unusable main file kept", dir.filePath("backup"), "Quorel1_*_damaged.mdb");
    rescued.window->close();

    for (const Made& file : made.all()) {
        const unsigned wanted = file.kind.endsWith("folder") ? 0700 : 0600;
        EXPECT_EQ(file.mode, wanted) << file.kind.toStdString() << ": " << file.path.toStdString() << " is " << std::oct << file.mode;
    }
}
