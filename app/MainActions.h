#pragma once

#include "Msg.h"

#include <QObject>

#include <array>
#include <vector>

class QAction;
class QActionGroup;
class QMenuBar;
class QWidget;

// Every command of the main window as an action of its menu bar, with its text (and
// mnemonic), keys and status tip from the message catalogue. The main window says what
// each one does and when it can be chosen; a page's buttons and the grid's right-click
// menu trigger the same commands.
//
// The keys work in the whole window while their action is enabled, but for the grid's
// own commands (コピー, 貼り付け, 削除, 前営業日へ, 翌営業日へ), whose keys work only while
// the month grid itself has the focus (not a cell's editor): the main window adds them to
// the grid.
class MainActions : public QObject {
    Q_OBJECT
public:
    explicit MainActions(QObject* parent);

    // The menu bar with its seven menus: ファイル, 編集, 表示, 支払予定, 支払先, ツール, ヘルプ.
    QMenuBar* makeMenuBar(QWidget* parent) const;
    // An action's text as a list shows it: without its mnemonic and the dots of a dialog.
    static QString plainText(const QAction& action);

    // ファイル: the page shown has the command (読込 is the 資金繰り page's 表示).
    QAction* load;
    QAction* enter;
    QAction* clear;
    QAction* remove;
    QAction* print;
    QAction* exportFile;
    QAction* quit;
    // 編集
    QAction* undo;
    QAction* redo;
    QAction* copy;
    QAction* paste;
    QAction* emptyCells;
    QAction* insertLine;
    QAction* deleteLine;
    // 表示: the four pages (checked as the tab control shows them) and the month steps.
    std::array<QAction*, 4> pages;
    QActionGroup* pageGroup;
    QAction* previousMonth;
    QAction* nextMonth;
    // 支払予定
    QAction* copyPreviousMonth;
    QAction* previousBusinessDay;
    QAction* nextBusinessDay;
    QAction* transfer;
    QAction* statement; // 入出金明細の消込, in the ファイル menu
    // 支払先
    QAction* importPayees;
    QAction* account;
    // ツール: commands on the whole book, from any page.
    QAction* undoDeletion;
    QAction* restore;
    QAction* deleteAll;
    QAction* sender;
    // ヘルプ
    QAction* hint;
    QAction* keyList;
    QAction* supportPage;
    QAction* about;

private:
    struct Menu {
        messages::LabelId title;
        std::vector<QAction*> actions; // null: a separator
    };
    std::vector<Menu> menus_;
};
