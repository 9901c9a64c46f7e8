#include "MainWindow.h"
#include "GridView.h"
#include "KeyListDialog.h"
#include "MainWindowHarness.h"
#include "Msg.h"
#include "SheetColumns.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QAction* action(MainWindow& window, const char* name)
{
    auto* found = window.findChild<QAction*>(QString::fromUtf8(name));
    if (!found)
        ADD_FAILURE() << "no action " << name;
    return found;
}

QStringList enabledIn(MainWindow& window, std::initializer_list<const char*> names)
{
    QStringList enabled;
    for (const char* name : names) {
        if (QAction* found = action(window, name); found && found->isEnabled())
            enabled << QString::fromUtf8(name);
    }
    return enabled;
}

} // namespace

TEST(MenuBar, MenusHoldEveryCommandOnceWithATipAndKeysOfItsOwnAndFollowThePageShown)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    MainWindow& window = w.window();
    auto* bar = window.findChild<QMenuBar*>(QStringLiteral("MenuBar"));
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    QSet<QString> keys;
    int commands = 0;
    for (QAction* menuAction : bar->actions()) {
        titles << menuAction->text();
        for (QAction* command : menuAction->menu()->actions()) {
            if (command->isSeparator())
                continue;
            ++commands;
            EXPECT_FALSE(command->statusTip().isEmpty()) << command->text().toStdString();
            for (const QKeySequence& sequence : command->shortcuts()) {
                EXPECT_FALSE(keys.contains(sequence.toString())) << sequence.toString().toStdString() << " twice";
                keys.insert(sequence.toString());
            }
        }
    }
    EXPECT_EQ(titles, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "支払予定(&S)", "支払先(&P)", "ツール(&T)", "ヘルプ(&H)"}));

    // A page command is on offer only where the page shown has it; whole-book commands
    // everywhere.
    const auto offered = [&] { return enabledIn(window, {"act削除", "act行挿入", "act口座", "act前月複写", "act全削除", "act取込"}); };
    EXPECT_EQ(offered(), (QStringList{"act行挿入", "act前月複写", "act全削除", "act取込"}));
    w.showPage(MainWindowHarness::Payees);
    EXPECT_EQ(offered(), (QStringList{"act削除", "act口座", "act全削除", "act取込"}));
    EXPECT_TRUE(action(window, "act支払先保守")->isChecked());
    w.showPage(MainWindowHarness::CashFlow);
    EXPECT_EQ(offered(), (QStringList{"act全削除", "act取込"}));

    // The key list shows every command of the menus with its keys.
    action(window, "actキー操作一覧")->trigger();
    auto* list = window.findChild<KeyListDialog*>();
    ASSERT_NE(list, nullptr);
    auto* table = list->findChild<QTableWidget*>(QStringLiteral("tblKeys"));
    ASSERT_EQ(table->rowCount(), commands);
    const QList<QTableWidgetItem*> enter = table->findItems(QStringLiteral("登録"), Qt::MatchExactly);
    ASSERT_EQ(enter.size(), 1);
    EXPECT_EQ(table->item(enter[0]->row(), 2)->text(), QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText));
    list->close();
}

TEST(MenuBar, MenuCommandsRunThePageShownsCommandAndUndoFollowsTheSheetsHistory)
{
    MainWindowHarness w;
    w.presenter.setDefaultAnswer(false);
    ASSERT_TRUE(w.startOn(QDate(2026, 12, 1)));
    ASSERT_TRUE(w.show());
    MainWindow& window = w.window();

    // 登録 asks the question of the page shown.
    action(window, "act登録")->trigger();
    EXPECT_EQ(w.presenter.shown().back().text, messages::messageText(messages::MsgId::登録_確認, "支払予定表"));
    w.showPage(MainWindowHarness::Payees);
    action(window, "act登録")->trigger();
    EXPECT_EQ(w.presenter.shown().back().text, messages::messageText(messages::MsgId::登録_確認, "支払先"));
    // すべてのデータを削除 asks from any page; the answer No keeps the book.
    action(window, "act全削除")->trigger();
    EXPECT_EQ(w.presenter.shown().back().text, messages::messageText(messages::MsgId::削除_確認));
    action(window, "actバージョン情報")->trigger();
    EXPECT_EQ(w.presenter.shown().back().title, "バージョン情報");
    EXPECT_TRUE(w.presenter.shown().back().text.contains(QStringLiteral("SQLite")));

    // 元に戻す and やり直し are offered as the sheet's history allows, without waiting.
    action(window, "act支払予定")->trigger();
    QAction* undo = action(window, "act元に戻す");
    QAction* redo = action(window, "actやり直し");
    EXPECT_FALSE(undo->isEnabled());
    ASSERT_TRUE(w.put(0, schedule::kCol支払先名, QStringLiteral("電気")));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(w.cell(0, schedule::kCol支払先名).isEmpty());
    EXPECT_TRUE(redo->isEnabled());
    redo->trigger();
    EXPECT_EQ(w.cell(0, schedule::kCol支払先名), "電気");
    // On another page the sheet's history is not on offer.
    w.showPage(MainWindowHarness::Settings);
    EXPECT_FALSE(undo->isEnabled());
}

// The README's keyboard table names every key of the menus' commands, arrows drawn as the
// table draws them.
TEST(MenuBar, TheReadmesKeyTableNamesEveryKeyOfTheMenus)
{
    QFile readme(QStringLiteral(QUOREL_README));
    ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("| keys | command |"));
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf(QStringLiteral("\n\n"), start);
    const QString table = text.mid(start, end - start);
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    auto* bar = w.window().findChild<QMenuBar*>(QStringLiteral("MenuBar"));
    ASSERT_NE(bar, nullptr);
    int keys = 0;
    for (QAction* menuAction : bar->actions()) {
        for (QAction* command : menuAction->menu()->actions()) {
            for (const QKeySequence& sequence : command->shortcuts()) {
                QString written = sequence.toString(QKeySequence::PortableText);
                written.replace(QStringLiteral("Left"), QStringLiteral("←")).replace(QStringLiteral("Right"), QStringLiteral("→"));
                written.replace(QStringLiteral("Del"), QStringLiteral("Delete")).replace(QStringLiteral("Ins"), QStringLiteral("Insert"));
                ++keys;
                EXPECT_TRUE(table.contains(written)) << written.toStdString() << " (" << command->text().toStdString() << ") is not in the README's table";
            }
        }
    }
    EXPECT_GT(keys, 20);
}

TEST(MenuBarWindow, TheBulletinBoardOpensInTheBrowserOrIsNamedWhenNoBrowserTakesIt)
{
    MainWindowHarness w;
    ASSERT_TRUE(w.start());
    ASSERT_TRUE(w.show());
    QStringList opened;
    bool browser = true;
    w.window().openInBrowser = [&](const QUrl& address) {
        opened << address.toString();
        return browser;
    };
    QAction* board = action(w.window(), "act掲示板");
    ASSERT_TRUE(board);
    board->trigger();
    EXPECT_EQ(opened, QStringList{"https://tovark.example.jp/"});
    EXPECT_TRUE(w.presenter.shown().empty());

    // No browser: the box names the address, to be opened elsewhere.
    browser = false;
    board->trigger();
    ASSERT_EQ(w.presenter.shown().size(), 1u);
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("https://tovark.example.jp/")) << w.presenter.shown()[0].text.toStdString();
    EXPECT_TRUE(w.presenter.shown()[0].text.contains("ブラウザを開けませんでした")) << w.presenter.shown()[0].text.toStdString();
}
