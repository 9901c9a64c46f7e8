// Starts the program on a data directory of made-up but real-looking lines, walks its
// pages, the hint window and the report preview, and saves a picture of each into the
// directory given as the only argument. Runs on the offscreen platform.
#include "AccountStore.h"
#include "BankDetailsDialog.h"
#include "CashFlowChart.h"
#include "Book.h"
#include "CarryOverTable.h"
#include "DataFiles.h"
#include "FeeDialog.h"
#include "FeeSettingsStore.h"
#include "MainWindow.h"
#include "Holidays.h"
#include "MessagePresenter.h"
#include "PaymentRules.h"
#include "StoredLines.h"
#include "Transaction.h"
#include "Sql.h"
#include "PayeeBearers.h"
#include "PayeePage.h"
#include "RestoreList.h"
#include "SettingsPage.h"
#include "SheetColumns.h"
#include "Startup.h"
#include "ReconcileDialog.h"
#include "TransferDialog.h"
#include "GridView.h"
#include "Holidays.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <SQLiteCpp/Database.h>

namespace {

void fillDemoData(const QString& directory, const QString& era)
{
    store::createMissingDataFiles(directory);
    SQLite::Database main(QDir(directory).filePath("Quorel1.mdb").toStdString(), SQLite::OPEN_READWRITE);
    const QStringList payees = {"東京電力", "NTT東日本", "家賃（山田不動産）", "東京ガス", "水道局", "O'Brien 商会", "丸善文具", "損害保険料", "リース料（複合機）"};
    const QDate today = QDate::currentDate();
    qint64 balance = 1'250'000LL * 10000;
    main.exec("BEGIN");
    // The first month opens with the balance brought in, so that the book's balances follow
    // from its amounts (the restore list checks them).
    const QDate first = today.addMonths(-3);
    ledger::writeCarry(main, QDate(first.year(), first.month(), 1), ledger::Amount::fromUnits(balance));
    for (int back = 3; back >= 0; --back) {
        const QDate month = today.addMonths(-back);
        int line = 1;
        for (int day : {1, 5, 10, 10, 15, 20, 25, 27, 28}) {
            const QString payee = payees.at((line * 7 + back) % payees.size());
            const qint64 planned = (line % 3 == 0 ? 0 : (30 + (line * 37 + back * 11) % 180) * 1000LL) * 10000;
            const qint64 paid = (line % 2 == 0 ? (20 + (line * 13) % 90) * 1000LL : 0) * 10000;
            balance += planned - paid;
            store::exec(main, QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?)").arg(ledger::kLinesTable),
                {QDate(month.year(), month.month(), day).toString("yyyy-MM-dd"), line, payee, planned, paid, balance});
            ++line;
        }
    }
    for (const QString& payee : payees)
        store::exec(main, "INSERT INTO 支払先マスタ VALUES (?)", {payee});
    store::exec(main, "INSERT INTO 自社情報 VALUES (?, 1, ?)", {era, qlonglong(0x2060C0)});
    ledger::writePaymentRule(main, "家賃（山田不動産）", {ledger::kMonthEnd, calendar::HolidayShift::前営業日});
    main.exec("COMMIT");
    SQLite::Database work(QDir(directory).filePath("Quorel1Work.mdb").toStdString(), SQLite::OPEN_READWRITE);
    store::exec(work, "INSERT INTO ClHint VALUES ('FrmQuorel1', 'cmdHint', '', ?)",
        {QStringLiteral("月を選んで、日付・支払先名・予定額・支払額を入力します。\n入力が終わったら「登録」を押してください。\n繰越額は前月までの残高です。")});
}

void save(QWidget* widget, const QString& directory, const char* name)
{
    QCoreApplication::processEvents();
    widget->grab().save(QDir(directory).filePath(QString::fromUtf8(name)));
}

// The cash-flow page from three months back, with the mouse over the chart's last month.
void saveCashFlow(MainWindow& window, const QString& directory)
{
    // Two months ahead: a tax payment takes the balance below zero until money comes in.
    SQLite::Database& main = window.session().mainDb();
    const QDate ahead = QDate::currentDate().addMonths(1);
    const QDate first(ahead.year(), ahead.month(), 1);
    ledger::Book book(main);
    const qint64 tax = (book.opening(first).carry().units() / 10'000'000'000LL + 1) * 10'000'000'000LL + 1'000'000'000LL;
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, NULL)").arg(ledger::kLinesTable);
    store::Transaction tx(main);
    store::exec(main, insert, {first.addDays(9).toString("yyyy-MM-dd"), 1, "法人税", 0, tax});
    store::exec(main, insert, {first.addDays(24).toString("yyyy-MM-dd"), 2, "家賃（山田不動産）", 0, 180'000LL * 10000});
    store::exec(main, insert, {first.addMonths(1).addDays(14).toString("yyyy-MM-dd"), 1, "売掛金回収", 1'500'000LL * 10000, 0});
    book.rebalanceFrom(first);
    tx.commit();
    const QDate from = QDate::currentDate().addMonths(-3);
    window.findChild<YearMonthEdit*>("Dt年月")->setDate(QDate(from.year(), from.month(), 1));
    window.resize(1280, 680);
    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    QCoreApplication::processEvents();
    auto* chart = window.findChild<cashflow::CashFlowChartView*>("Chart資金繰り");
    const QRectF plot = chart->chart()->plotArea();
    const QPointF point(plot.left() + plot.width() * 0.29, plot.center().y());
    QTest::mouseMove(chart->viewport(), chart->mapFromScene(chart->chart()->mapToScene(point)));
    save(&window, directory, "cashflow.png");
}

// May 2026 right after 前月複写 of April, across Golden Week: payees with a usual day and
// a rule for bank holidays, the book's setting for the others, the moves named in the
// status line.
bool saveRepeatAcrossHolidays(const QString& directory)
{
    QTemporaryDir temp;
    const QString data = QDir(temp.path()).filePath("data/");
    store::createMissingDataFiles(data);
    {
        SQLite::Database main(QDir(data).filePath("Quorel1.mdb").toStdString(), SQLite::OPEN_READWRITE);
        const std::vector<std::tuple<int, const char*, qint64>> april = {{1, "リース料（複合機）", 33'000}, {3, "丸善文具", 12'800}, {6, "東京電力", 48'210},
            {10, "NTT東日本", 15'400}, {15, "損害保険料", 21'000}, {20, "水道局", 8'930}, {24, "家賃（山田不動産）", 180'000}, {27, "東京ガス", 11'260}};
        main.exec("BEGIN");
        qint64 balance = 0;
        int line = 1;
        for (const auto& [day, payee, amount] : april) {
            balance += amount * 10000;
            store::exec(main, QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, 0, ?)").arg(ledger::kLinesTable),
                {QDate(2026, 4, day).toString("yyyy-MM-dd"), line++, QString::fromUtf8(payee), amount * 10000, balance});
            store::exec(main, "INSERT INTO 支払先マスタ VALUES (?)", {QString::fromUtf8(payee)});
        }
        store::exec(main, "INSERT INTO 自社情報 VALUES ('西暦', 1, ?)", {qlonglong(0x2060C0)});
        ledger::writePaymentRule(main, "東京電力", {6, calendar::HolidayShift::翌営業日});
        ledger::writePaymentRule(main, "家賃（山田不動産）", {ledger::kMonthEnd, std::nullopt});
        ledger::writePaymentRule(main, "丸善文具", {std::nullopt, calendar::HolidayShift::そのまま});
        main.exec("COMMIT");
    }
    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(data, presenter);
    if (!started.window)
        return false;
    MainWindow& window = *started.window;
    window.resize(1000, 560);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.findChild<YearMonthEdit*>("Dt年月")->setDate(QDate(2026, 5, 1));
    window.findChild<QPushButton*>("cmd読込")->click();
    window.findChild<QPushButton*>("cmd前月複写")->click();
    save(&window, directory, "schedule-holidays.png");
    window.close();
    return true;
}

// The sender and bank details for the transfer pictures: every payee of one day has
// details but the water bureau.
void fillTransferData(MainWindow& window, const QDate& day)
{
    SQLite::Database& main = window.session().mainDb();
    banking::AccountStore accounts(main);
    banking::Sender sender;
    sender.code = "0123456789";
    sender.name = "ｶ)ﾄﾊﾞ-ｸ";
    sender.account = {"0005", "ﾐﾂﾋﾞｼﾕ-ｴﾌｼﾞｴｲ", "135", "ｼﾌﾞﾔ", banking::AccountType::Checking, "1234567", {}};
    accounts.saveSender(sender);
    const struct {
        const char* payee;
        const char* bank;
        const char* bankName;
        const char* holder;
        qint64 yen;
    } lines[] = {{"東京電力", "0001", "ﾐｽﾞﾎ", "ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ(ｶ", 48'600}, {"家賃（山田不動産）", "0009", "ﾐﾂｲｽﾐﾄﾓ", "ﾔﾏﾀﾞﾌﾄﾞｳｻﾝ(ｶ", 180'000},
        {"丸善文具", "0010", "ﾘｿﾅ", "ﾏﾙｾﾞﾝﾌﾞﾝｸﾞ(ｶ", 12'800}, {"リース料（複合機）", "0005", "ﾐﾂﾋﾞｼﾕ-ｴﾌｼﾞｴｲ", "ｵﾌｲｽﾘ-ｽ(ｶ", 22'000}, {"水道局", "", "", "", 9'350},
        {"丸善文具", "0010", "ﾘｿﾅ", "ﾏﾙｾﾞﾝﾌﾞﾝｸﾞ(ｶ", 12'800}};
    const QString insert = QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, 0, NULL)").arg(ledger::kLinesTable);
    store::Transaction tx(main);
    int number = 90;
    for (const auto& line : lines) {
        if (*line.bank)
            accounts.savePayeeAccount({line.payee, {line.bank, line.bankName, "001", "ﾎﾝﾃﾝ", banking::AccountType::Ordinary, "7654321", line.holder}, {}});
        if (store::scalar(main, "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 = ?", {QString::fromUtf8(line.payee)}).toInt() == 0)
            store::exec(main, "INSERT INTO 支払先マスタ VALUES (?)", {QString::fromUtf8(line.payee)});
        store::exec(main, insert, {day.toString("yyyy-MM-dd"), number++, QString::fromUtf8(line.payee), line.yen * 10000});
    }
    ledger::Book(main).rebalanceFrom(QDate(day.year(), day.month(), 1));
    // The sender's bank's fees; the rent and the stationer bear their own.
    banking::FeeSettings fees;
    fees.addFeeLine = true;
    fees.table.of(banking::FeeDestination::SameBranch) = {{0, 0}};
    fees.table.of(banking::FeeDestination::SameBank) = {{0, 110}, {30000, 330}};
    fees.table.of(banking::FeeDestination::OtherBank) = {{0, 330}, {30000, 550}};
    banking::FeeSettingsStore(main).write(fees);
    banking::PayeeBearers bearers(main);
    bearers.set(QStringLiteral("家賃（山田不動産）"), banking::FeeBearer::Payee);
    bearers.set(QStringLiteral("丸善文具"), banking::FeeBearer::Payee);
    tx.commit();
}

// The fee dialog of the settings page, with the table filled in above.
void saveFees(MainWindow& window, const QString& directory)
{
    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(2);
    auto* page = window.findChild<settings::SettingsPage*>();
    page->askFees = [&](settings::FeeDialog& dialog) {
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        save(&dialog, directory, "fees.png");
        return false;
    };
    page->openFeeDialog();
}

// The transfer dialog on a day of the current month, and the bank details of a payee.
void saveTransfer(MainWindow& window, const QString& directory)
{
    const QDate today = QDate::currentDate();
    QDate day(today.year(), today.month(), 25);
    while (calendar::isBankHoliday(day))
        day = day.addDays(-1);
    fillTransferData(window, day);
    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(0);
    window.findChild<YearMonthEdit*>("Dt年月")->setDate(QDate(day.year(), day.month(), 1));
    window.findChild<QPushButton*>("cmd読込")->click();
    auto* grid = window.findChild<GridView*>("GridInp");
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        if (grid->model()->index(row, schedule::kCol表示日付).data().toString() == day.toString("dd")) {
            grid->setCurrentCell(row, schedule::kCol支払先名);
            break;
        }
    }
    window.transferCommand().askChoice = [&](banking::TransferDialog& dialog) -> std::optional<banking::TransferChoice> {
        dialog.setTicked(3, false);
        dialog.resize(1240, 520);
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        save(&dialog, directory, "transfer.png");
        return std::nullopt;
    };
    window.findChild<QPushButton*>("cmd振込データ")->click();

    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(1);
    auto* payees = window.findChild<payees::PayeePage*>();
    payees->askAccount = [&](payees::BankDetailsDialog& dialog) {
        dialog.findChild<QLineEdit*>("txt口座名義")->setText("やまだふどうさん（かぶ");
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        dialog.findChild<QLineEdit*>("txt口座名義")->setFocus();
        save(&dialog, directory, "bank-details.png");
        return false;
    };
    auto* names = window.findChild<QTableView*>("Grid支払先マスタ")->model();
    for (int row = 0; row < names->rowCount(); ++row) {
        if (names->index(row, 1).data().toString() == "家賃（山田不動産）")
            payees->openAccountDialog(row);
    }
}

// The reconciliation of a bank's statement against the transfer pictures' day: a CSV
// statement of that day and the days after it, its columns as their titles suggest.
void saveStatement(MainWindow& window, const QString& directory)
{
    const QDate today = QDate::currentDate();
    QDate day(today.year(), today.month(), 25);
    while (calendar::isBankHoliday(day))
        day = day.addDays(-1);
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath("meisai.csv");
    QFile file(path);
    (void)file.open(QIODevice::WriteOnly);
    auto line = [&](const QDate& date, const char* words, qint64 out, qint64 in) {
        file.write(QStringLiteral("%1,%2,%3,%4\r\n")
                       .arg(date.toString("yyyy/MM/dd"), QString::fromUtf8(words), out ? QString::number(out) : QString(), in ? QString::number(in) : QString())
                       .toUtf8());
    };
    file.write(QStringLiteral("取引日,お取引内容,お引出し,お預入れ\r\n").toUtf8());
    line(day, "ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ", 48'600, 0);
    line(day, "ﾌﾘｺﾐ ﾔﾏﾀﾞﾌﾄﾞｳｻﾝ", 180'000, 0);
    line(day, "ﾌﾘｺﾐ ﾏﾙｾﾞﾝﾌﾞﾝｸﾞ", 12'800, 0);
    line(day, "ﾌﾘｺﾐ ﾏﾙｾﾞﾝﾌﾞﾝｸﾞ", 12'800, 0);
    line(day.addDays(1), "ｵﾌｲｽﾘ-ｽ", 22'000, 0);
    line(day.addDays(1), "ｶ-ﾄﾞ ｺﾞﾘﾖｳｷﾝ", 5'480, 0);
    line(day.addDays(6), "ﾌﾘｺﾐ ﾐﾅﾐｼﾖｳｼﾞ", 0, 330'000);
    file.close();
    window.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(0);
    statement::StatementImport& import = window.statementImport();
    import.askPath = [&](QWidget*) { return path; };
    import.askColumns = [](const QStringList& titles, QWidget*) { return std::optional<statement::CsvColumns>(statement::guessColumns(titles)); };
    import.decide = [&](statement::ReconcileDialog& dialog) {
        dialog.show();
        (void)QTest::qWaitForWindowExposed(&dialog);
        save(&dialog, directory, "statement.png");
        return false;
    };
    window.findChild<QPushButton*>("cmd明細消込")->click();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const QString out = app.arguments().at(1);
    QDir().mkpath(out);
    {
        // The month page once more as it looks with Japanese era years.
        QTemporaryDir temp;
        const QString data = QDir(temp.path()).filePath("data/");
        fillDemoData(data, QStringLiteral("和暦"));
        messages::ScriptedMessagePresenter presenter;
        StartupOutcome started = startQuorel1(data, presenter);
        if (!started.window)
            return 1;
        started.window->show();
        if (!QTest::qWaitForWindowExposed(started.window.get()))
            return 1;
        save(started.window.get(), out, "schedule-era.png");
        started.window->close();
    }
    if (!saveRepeatAcrossHolidays(out))
        return 1;
    QTemporaryDir temp;
    const QString data = QDir(temp.path()).filePath("data/");
    fillDemoData(data, QStringLiteral("西暦"));

    messages::ScriptedMessagePresenter presenter;
    StartupOutcome started = startQuorel1(data, presenter);
    if (!started.window)
        return 1;
    MainWindow& window = *started.window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* tabs = window.findChild<QTabWidget*>("SSTab1");

    save(&window, out, "schedule.png");
    tabs->setCurrentIndex(1);
    window.findChild<QPushButton*>("cmd支払先読込")->click();
    // The payee with a payment rule is the current line: its rule shows below the list.
    if (auto* payees = window.findChild<QTableView*>("Grid支払先マスタ")) {
        const QModelIndexList rent = payees->model()->match(payees->model()->index(0, 1), Qt::DisplayRole, QStringLiteral("家賃（山田不動産）"));
        if (!rent.isEmpty())
            payees->setCurrentIndex(rent.front());
    }
    save(&window, out, "payees.png");
    // Registering the payee page keeps a backup first: the restore list shows two.
    presenter.setDefaultAnswer(true);
    window.findChild<QPushButton*>("cmd支払先登録")->click();
    tabs->setCurrentIndex(2);
    // The list shows what each backup holds once its thread has read them.
    if (auto* restoreList = window.findChild<backup::RestoreList*>("RestoreList"))
        (void)QTest::qWaitFor([&] { return !restoreList->inspecting(); }, 10000);
    save(&window, out, "settings.png");
    if (QWidget* restoreList = window.findChild<QWidget*>("RestoreList"))
        save(restoreList, out, "restore.png");
    tabs->setCurrentIndex(0);

    window.findChild<QPushButton*>("cmdHint")->click();
    if (QWidget* hint = window.hintController().window()) {
        (void)QTest::qWaitForWindowExposed(hint);
        save(hint, out, "hint.png");
        hint->close();
    }
    window.findChild<QPushButton*>("Cmd印刷")->click();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->objectName() != "FrmQuorel1" && top->windowTitle().contains("印刷")) {
            // On a screen 768 pixels high (screen-1024x768.json) the whole screen is saved
            // as well: the preview as it opens, over the main window.
            if (top->screen()->geometry().height() == 768) {
                (void)QTest::qWaitForWindowExposed(top);
                QTest::qWait(200);
                top->screen()->grabWindow(0).save(QDir(out).filePath("preview-768.png"));
            }
            top->resize(900, 1000);
            (void)QTest::qWaitForWindowExposed(top);
            QTest::qWait(200);
            save(top, out, "report.png");
        }
    }
    saveCashFlow(window, out);
    saveTransfer(window, out);
    saveFees(window, out);
    saveStatement(window, out);
    window.close();
    return 0;
}
