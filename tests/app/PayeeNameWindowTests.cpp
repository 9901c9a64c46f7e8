// Names entering the payee page, by hand or from a list: kept without the blanks around
// them, refused past 100 characters or with a control character, never cut.
#include "MainWindowHarness.h"

#include "GridView.h"
#include "Msg.h"
#include "SheetColumns.h"
#include "PayeeImportCommand.h"
#include "Sql.h"
#include "PayeeModel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kNameColumn = 1;

QStringList pageNames(MainWindowHarness& w)
{
    return w.column("Grid支払先マスタ", kNameColumn).filter(QRegularExpression(".+"));
}

} // namespace

TEST(PayeeNameWindow, ThePayeePageKeepsTypedNamesWithoutBlanksAndRefusesOthersWithABox)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    w.showPage(MainWindowHarness::Payees);
    auto* page = w.find<payees::PayeeModel>("dat支払先マスタ");

    w.typeInto("Grid支払先マスタ", 0, kNameColumn, QStringLiteral("　 北海商事  "));
    EXPECT_EQ(pageNames(w), QStringList{"北海商事"});
    EXPECT_TRUE(w.presenter.shown().empty());

    // 101 characters on the new line: refused with the reason, and no line is left behind.
    w.typeInto("Grid支払先マスタ", 1, kNameColumn, QString(101, QChar(u'長')));
    QTRY_COMPARE(w.presenter.shown().size(), 1u);
    EXPECT_EQ(w.presenter.shown()[0].title, "入力注意");
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("101 文字あります。支払先名は 100 文字までです")) << w.lastBox().toStdString();
    QTRY_COMPARE(page->storedRowCount(), 1);

    // A control character over an existing name: the name stays as it was.
    w.presenter.clear();
    page->setData(page->index(0, kNameColumn), QString::fromUtf8("AB\0CD", 5));
    QTRY_COMPARE(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("使えない制御文字があります：3 文字目（U+0000）")) << w.lastBox().toStdString();
    EXPECT_EQ(pageNames(w), QStringList{"北海商事"});

    // Exactly 100 characters are kept whole.
    w.presenter.clear();
    w.typeInto("Grid支払先マスタ", 1, kNameColumn, QString(100, QChar(u'長')));
    EXPECT_EQ(pageNames(w), (QStringList{"北海商事", QString(100, QChar(u'長'))}));
    w.click("cmd支払先登録", true);
    EXPECT_EQ(w.storedPayees(), (QStringList{"北海商事", QString(100, QChar(u'長'))}));
}

TEST(PayeeNameWindow, AnImportNamesAFewRefusedLinesCountsTheRestAndItsProgressCanBeCancelled)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    // 20,000 names, with a refused line every 1,000 lines (line 1,000, 2,000, …).
    QByteArray bytes;
    for (int line = 1; line <= 20000; ++line)
        bytes += line % 1000 == 0 ? QByteArray(5000, 'x') + "\n" : "  支払先" + QByteArray::number(line) + "　\n";
    QFile list(w.dir().filePath("names.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(bytes);
    list.close();
    auto& import = w.window().payeeImportCommand();
    import.askFile = [&](QWidget*) { return std::pair{list.fileName(), exchange::TextEncoding::Detect}; };
    import.progressAfterMs = 0;

    // キャンセル while the names are added: none of them is.
    int steps = 0;
    import.onProgress = [&](QProgressDialog& dialog) {
        steps += dialog.isVisible() ? 1 : 0;
        EXPECT_EQ(dialog.findChild<QPushButton*>()->text(), "キャンセル");
        if (dialog.labelText().contains("追加") && dialog.value() > 500)
            dialog.cancel();
    };
    w.presenter.setDefaultAnswer(true);
    w.click("cmd支払先取込");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    const QString question = w.presenter.shown()[0].text;
    EXPECT_TRUE(question.contains("支払先1\n支払先2\n")) << question.toStdString();
    EXPECT_TRUE(question.contains("ほか 19950 件"));
    EXPECT_TRUE(question.contains("次の行は取り込みません：\n1,000 行目: 4,096 バイトを超える行です\n2,000 行目:")) << question.toStdString();
    EXPECT_TRUE(question.contains("5,000 行目: 4,096 バイトを超える行です\nほか 15 行"));
    EXPECT_GT(steps, 2);
    EXPECT_TRUE(w.storedPayees().isEmpty());

    // Without キャンセル every name goes in, without the blanks around it.
    import.onProgress = nullptr;
    w.presenter.clear();
    w.click("cmd支払先取込");
    EXPECT_EQ(w.presenter.shown().back().text, "支払先 19980 件を追加しました。");
    EXPECT_EQ(store::scalar(w.mainDb(), "SELECT count(*) FROM 支払先マスタ WHERE 支払先名 LIKE '支払先%' AND length(支払先名) = length(trim(支払先名))").toInt(), 19980);

    // A file past the limit is refused before it is read.
    QFile big(w.dir().filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(exchange::kMaxImportFileBytes + 1));
    big.close();
    import.askFile = [&](QWidget*) { return std::pair{big.fileName(), exchange::TextEncoding::Detect}; };
    w.presenter.clear();
    w.click("cmd支払先取込");
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.endsWith("は大きすぎるため読みません。支払先の一覧は 16 MB（16,777,216 バイト）までです。"));
}

TEST(PayeeNameWindow, TheMonthSheetTakesNamesByTheSameRules)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2026, 1, 1)));
    ASSERT_TRUE(w.show());
    w.presenter.clear();
    EXPECT_FALSE(w.put(0, schedule::kCol支払先名, QString(101, QChar(u'長'))));
    EXPECT_FALSE(w.put(0, schedule::kCol支払先名, QStringLiteral("AB") + QChar(0) + QStringLiteral("CD")));
    EXPECT_TRUE(w.put(0, schedule::kCol支払先名, QStringLiteral("　北海商事 ")));
    QCoreApplication::processEvents();
    ASSERT_EQ(w.presenter.shown().size(), 2u);
    EXPECT_TRUE(w.presenter.shown()[0].text.startsWith(messages::findMessage(messages::MsgId::入力_名前不可, "").text));
    EXPECT_EQ(w.cell(0, schedule::kCol支払先名), "北海商事");
}

TEST(PayeeNameWindow, ANamePastedIntoACellsEditorIsTakenWholeAndARefusalNamesItsLength)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.startOn(QDate(2026, 1, 1)));
    ASSERT_TRUE(w.show());
    w.presenter.clear();
    QGuiApplication::clipboard()->setText(QString(100000, QChar(u'長')));
    GridView* grid = w.grid();
    grid->setFocus();
    grid->setCurrentCell(0, schedule::kCol支払先名);
    QTest::keyClick(grid, Qt::Key_F2);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(editor && editor != grid);
    QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("100000 文字あります。支払先名は 100 文字までです")) << w.lastBox().toStdString();
    EXPECT_EQ(w.cell(0, schedule::kCol支払先名), "");
}
