// 入出金明細の消込 through the real main window: a statement file read, its withdrawals
// matched to the month's sheet in the dialog, the decisions put on the sheet as one undo
// step and remembered, so that the same statement read again proposes nothing new.

#include "AccountStore.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "ReconcileDialog.h"
#include "SchedulePage.h"
#include "Session.h"
#include "SheetColumns.h"
#include "Sql.h"
#include "StatementWriter.h"
#include "TextCodec.h"

#include <QMenu>

#include <QComboBox>
#include <QFile>
#include <QTableWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

using namespace schedule;
using namespace statement_test;

namespace {

// The month sheet's history (the payee page keeps one of its own).
const QUndoStack* sheetHistory(MainWindowHarness& w)
{
    return w.window().findChild<schedule::SchedulePage*>()->sheetHistory();
}

const QDate kMonth(2026, 12, 1);

banking::PayeeAccount account(const char* payee, const char* holder)
{
    return {QString::fromUtf8(payee),
        {QStringLiteral("0001"), QStringLiteral("ﾐｽﾞﾎ"), QStringLiteral("001"), QStringLiteral("ﾎﾝﾃﾝ"), banking::AccountType::Ordinary,
            QStringLiteral("1234567"), QString::fromUtf8(holder)},
        {}};
}

// December 2026: 東京電力 on the 8th, 家賃, 南商事 and 北商事 on the 10th, 電話 on the 28th.
void seedBook(TempDataDir& dir)
{
    seed::storeLines(dir, {{QDate(2026, 12, 8), 1, "東京電力", 88000, 0, -88000}, {QDate(2026, 12, 10), 2, "家賃", 200000, 0, -288000},
                              {QDate(2026, 12, 10), 3, "南商事", 50000, 0, -338000}, {QDate(2026, 12, 10), 4, "北商事", 50000, 0, -388000},
                              {QDate(2026, 12, 28), 5, "電話", 9000, 0, -397000}});
    seed::storePayees(dir, {QStringLiteral("東京電力"), QStringLiteral("家賃"), QStringLiteral("南商事"), QStringLiteral("北商事"), QStringLiteral("電話")});
    auto session = store::Session::open(dir.path());
    banking::AccountStore store(session->mainDb());
    store.savePayeeAccount(account("東京電力", "ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ(ｶ"));
    store.savePayeeAccount(account("南商事", "ｶ)ﾐﾅﾐｼﾖｳｼﾞ"));
    store.savePayeeAccount(account("北商事", "ｶ)ｷﾀｼﾖｳｼﾞ"));
}

Account december(const char* to)
{
    return {"081201", to,
        {{"081209", 2, 88000, QString(), QStringLiteral("ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ"), 11}, {"081210", 1, 500000, QStringLiteral("ｶ)ﾊﾞｲｻｷ"), QString(), 12},
            {"081210", 2, 200000, QString(), QStringLiteral("ﾌﾘｺﾐ ﾔﾇｼ"), 13}, {"081210", 2, 50000, QString(), QStringLiteral("ﾌﾘｺﾐ ﾐﾅﾐｼﾖｳｼﾞ"), 14},
            {"081215", 2, 3000, QString(), QStringLiteral("ｶ-ﾄﾞ ﾈﾝｶｲﾋ"), 15}, {"081216", 2, 777, QString(), QStringLiteral("ﾃｽｳﾘﾖｳ"), 16}}};
}

QString writeFile(TempDataDir& dir, const char* name, const QByteArray& bytes)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

// The table of the dialog as text: one "区分|日付|出金|明細の名前|支払予定の行" per row
// (the chosen entry of a drop-down), "(red)" after a row shown in red.
QStringList rows(statement::ReconcileDialog& dialog)
{
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("lst明細消込"));
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column) {
            if (auto* box = qobject_cast<QComboBox*>(table->cellWidget(row, column)))
                cells << QStringLiteral("[%1]").arg(box->itemText(box->count() - 1));
            else
                cells << table->item(row, column)->text();
        }
        const bool red = table->item(row, 0)->foreground().color() == QColor(Qt::red);
        out << cells.join(u'|') + (red ? QStringLiteral(" (red)") : QString());
    }
    return out;
}

void choose(statement::ReconcileDialog& dialog, int row, int index)
{
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("lst明細消込"));
    qobject_cast<QComboBox*>(table->cellWidget(row, statement::ReconcileDialog::ColLine))->setCurrentIndex(index);
}

} // namespace

TEST(ReconcileWindow, MatchesChoicesAndLinesWithoutWithdrawalsGoOnTheSheetAsOneUndoStep)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    const QString path = writeFile(dir, "明細.txt", statementFile({december("081218")}, true));
    statement::StatementImport& import = w.window().statementImport();
    import.today = [] { return QDate(2026, 12, 20); };
    import.askPath = [&](QWidget*) { return path; };
    QStringList seen;
    import.decide = [&](statement::ReconcileDialog& dialog) {
        seen = rows(dialog);
        choose(dialog, 2, 1); // 家賃 for the rent's transfer
        choose(dialog, 3, 1); // the card's debit added as a paid line; the fee left
        return true;
    };
    const QString figuresBefore = w.figures();
    w.presenter.clear();
    w.click("cmd明細消込");

    EXPECT_EQ(seen, QStringList({
                        "照合|2026/12/09|88,000|ﾃﾞﾝｷﾘﾖｳ ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ|12/08 東京電力 88,000 円",
                        "照合|2026/12/10|50,000|ﾌﾘｺﾐ ﾐﾅﾐｼﾖｳｼﾞ|12/10 南商事 50,000 円",
                        "名前が未登録|2026/12/10|200,000|ﾌﾘｺﾐ ﾔﾇｼ|[12/10 家賃 200,000 円]",
                        "行なし|2026/12/15|3,000|ｶ-ﾄﾞ ﾈﾝｶｲﾋ|[支払済の行として追加]",
                        "行なし|2026/12/16|777|ﾃｽｳﾘﾖｳ|[支払済の行として追加]",
                        "未払||||12/10 北商事 50,000 円：出金がありません (red)",
                    }));
    ASSERT_EQ(w.presenter.shown().size(), 1u) << w.lastBox().toStdString();
    EXPECT_TRUE(w.presenter.shown()[0].text.startsWith("3 行を支払済にし、1 行を支払済の行として追加しました。")) << w.lastBox().toStdString();
    // The card's debit is a new line of its day after the sheet's lines, paid in full.
    EXPECT_EQ(w.cell(5, kCol表示日付), "15");
    EXPECT_EQ(w.cell(5, kCol支払先名), "ｶ-ﾄﾞ ﾈﾝｶｲﾋ");
    EXPECT_EQ(w.cell(5, kCol予定額), "3,000");
    EXPECT_EQ(w.cell(0, kCol支払額), "88,000");
    EXPECT_EQ(w.cell(1, kCol支払額), "200,000");
    EXPECT_EQ(w.cell(2, kCol支払額), "50,000");
    EXPECT_EQ(w.cell(3, kCol支払額), "");
    EXPECT_EQ(w.cell(5, kCol支払額), "3,000");
    EXPECT_TRUE(w.window().windowTitle().startsWith("* "));
    auto* history = sheetHistory(w);
    EXPECT_EQ(history->count(), 1);
    EXPECT_EQ(history->undoText(), "明細の消込");

    // One undo takes the whole statement off the sheet, and its lines out of what is
    // remembered as reconciled; redo puts both back.
    auto settledCount = [&] { return store::scalar(w.mainDb(), "SELECT count(*) FROM 明細消込").toInt(); };
    EXPECT_EQ(settledCount(), 5);
    ASSERT_TRUE(w.window().findChild<SchedulePage*>()->undoSheet());
    EXPECT_EQ(w.cell(0, kCol支払額), "");
    EXPECT_EQ(w.cell(5, kCol支払先名), "");
    EXPECT_EQ(w.figures(), figuresBefore);
    EXPECT_EQ(settledCount(), 0);
    ASSERT_TRUE(w.window().findChild<SchedulePage*>()->redoSheet());
    EXPECT_EQ(w.cell(1, kCol支払額), "200,000");
    EXPECT_EQ(settledCount(), 5);

    // Every withdrawal decided on is remembered, and the name the rent was paid under.
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT group_concat(処理, ',') FROM (SELECT 処理 FROM 明細消込 ORDER BY 勘定日, 照合キー)").toString(),
        "消込,消込,消込,追加,見送り");
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT 明細名 FROM 明細名義 WHERE 支払先名 = '家賃'").toString(), "ﾌﾘｺﾐ ﾔﾇｼ");
    w.click("cmd登録", true);
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT 支払額 FROM 支払予定表 WHERE 支払先名 = '家賃'"), seed::yen(200000));
}

TEST(ReconcileWindow, TheSameStatementAgainProposesNothingNewAndABrokenFileNothingAtAll)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    statement::StatementImport& import = w.window().statementImport();
    import.today = [] { return QDate(2026, 12, 31); };
    QString path = writeFile(dir, "明細.txt", statementFile({december("081218")}, false));
    import.askPath = [&](QWidget*) { return path; };
    int asked = 0;
    QStringList seen;
    import.decide = [&](statement::ReconcileDialog& dialog) {
        ++asked;
        seen = rows(dialog);
        if (asked == 1)
            choose(dialog, 2, 1); // 家賃 for the rent's transfer; the rest as proposed or left
        return true;
    };
    w.click("cmd明細消込");
    ASSERT_EQ(asked, 1);
    EXPECT_EQ(sheetHistory(w)->count(), 1);

    // The same file again: no dialog, a box says so, the sheet is as it was.
    w.presenter.clear();
    w.click("cmd明細消込");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w.lastBox().toStdString(), ("入出金明細の消込: " + messages::findMessage(messages::MsgId::その他_明細新規なし, "2026/12").text).toStdString());
    EXPECT_EQ(sheetHistory(w)->count(), 1);

    // The month's later statement holds the same lines and one more: only that one is new.
    Account later = december("081231");
    later.entries.push_back({"081228", 2, 9000, QString(), QStringLiteral("ﾃﾞﾝﾜﾘﾖｳ"), 17});
    path = writeFile(dir, "明細2.txt", statementFile({later}, true));
    w.click("cmd明細消込");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(seen, QStringList({"名前が未登録|2026/12/28|9,000|ﾃﾞﾝﾜﾘﾖｳ|[12/28 電話 9,000 円]", "未払||||12/10 北商事 50,000 円：出金がありません (red)"}));

    // A broken file: the record and field are named and nothing is read.
    QByteArray broken = statementFile({later}, false);
    broken.replace(200 * 3 + 30, 3, "1X3");
    path = writeFile(dir, "壊れ.txt", broken);
    w.presenter.clear();
    w.click("cmd明細消込");
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(w.lastBox().contains("4 件目のレコードの「取引金額」")) << w.lastBox().toStdString();
    EXPECT_EQ(sheetHistory(w)->count(), 1);

    // The sheet dropped unregistered (いいえ): its reconciled lines are not paid in the book,
    // so the same statement proposes them again.
    w.presenter.pushAnswer(false);
    w.loadMonth(kMonth);
    EXPECT_EQ(sheetHistory(w)->count(), 0);
    path = writeFile(dir, "明細3.txt", statementFile({december("081218")}, false));
    w.click("cmd明細消込");
    EXPECT_EQ(asked, 3);
}

TEST(ReconcileWindow, ABanksCsvColumnsAreChosenOnceAndTheFileMenuRunsTheCommand)
{
    TempDataDir dir;
    seedBook(dir);
    MainWindowHarness w(dir);
    ASSERT_TRUE(w.startOn(kMonth));
    statement::StatementImport& import = w.window().statementImport();
    const QString first = writeFile(dir, "明細.csv", QStringLiteral("取引日,お取引内容,お引出し,お預入れ\r\n2026/12/09,ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ,88000,\r\n").toUtf8());
    const QString second = writeFile(dir, "明細2.csv", *exchange::cp932::encode(QStringLiteral("取引日,お取引内容,お引出し,お預入れ\r\n2026/12/10,ミナミショウジ,\"50,000\",\r\n")));
    QString path = first;
    import.askPath = [&](QWidget*) { return path; };
    QStringList titlesAsked;
    import.askColumns = [&](const QStringList& titles, QWidget*) -> std::optional<statement::CsvColumns> {
        titlesAsked << titles.join(u',');
        return statement::guessColumns(titles);
    };
    QStringList seen;
    import.decide = [&](statement::ReconcileDialog& dialog) {
        seen << rows(dialog).first();
        return true;
    };
    auto* menuCommand = w.window().findChild<QMenu*>(QStringLiteral("menuファイル"));
    ASSERT_NE(menuCommand, nullptr);
    QAction* command = nullptr;
    for (QAction* action : menuCommand->actions()) {
        if (action->text().startsWith("入出金明細の消込"))
            command = action;
    }
    ASSERT_NE(command, nullptr);
    command->trigger();
    path = second;
    w.click("cmd明細消込");
    EXPECT_EQ(titlesAsked, QStringList({"取引日,お取引内容,お引出し,お預入れ"}));
    EXPECT_EQ(seen, QStringList({"照合|2026/12/09|88,000|ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸ|12/08 東京電力 88,000 円", "照合|2026/12/10|50,000|ミナミショウジ|12/10 南商事 50,000 円"}));
    EXPECT_EQ(w.cell(0, kCol支払額), "88,000");
    EXPECT_EQ(w.cell(2, kCol支払額), "50,000");
}
