#include "MainActions.h"

#include "Msg.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

namespace {

// An action named "act" + its catalogue key, with the catalogue's text and status tip and
// the given keys (the first is the one the menu shows).
QAction* command(QObject* parent, messages::LabelId id, const QList<QKeySequence>& keys = {}, Qt::ShortcutContext context = Qt::WindowShortcut)
{
    const messages::Label label = messages::label(id);
    auto* action = new QAction(label.text, parent);
    action->setObjectName(QStringLiteral("act") + label.key);
    action->setStatusTip(label.tip);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    return action;
}

QKeySequence keys(QKeyCombination combination)
{
    return QKeySequence(combination);
}

using L = messages::LabelId;

} // namespace

MainActions::MainActions(QObject* parent)
    : QObject(parent)
    , load(command(this, L::コマンド_読込, {keys(Qt::Key_F5)}))
    , enter(command(this, L::コマンド_登録, {keys(Qt::CTRL | Qt::Key_S)}))
    , clear(command(this, L::コマンド_クリア))
    , remove(command(this, L::コマンド_削除))
    , print(command(this, L::コマンド_印刷, {keys(Qt::CTRL | Qt::Key_P)}))
    , exportFile(command(this, L::コマンド_出力, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_E)}))
    , quit(command(this, L::コマンド_終了, {keys(Qt::CTRL | Qt::Key_Q)}))
    , undo(command(this, L::コマンド_元に戻す, {keys(Qt::CTRL | Qt::Key_Z)}))
    , redo(command(this, L::コマンド_やり直し, {keys(Qt::CTRL | Qt::Key_Y), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}))
    , copy(command(this, L::コマンド_コピー, {keys(Qt::CTRL | Qt::Key_C)}, Qt::WidgetShortcut))
    , paste(command(this, L::コマンド_貼り付け, {keys(Qt::CTRL | Qt::Key_V)}, Qt::WidgetShortcut))
    , emptyCells(command(this, L::コマンド_セル削除, {keys(Qt::Key_Delete)}, Qt::WidgetShortcut))
    , insertLine(command(this, L::コマンド_行挿入, {keys(Qt::CTRL | Qt::Key_Insert)}))
    , deleteLine(command(this, L::コマンド_行削除, {keys(Qt::CTRL | Qt::Key_Delete)}))
    , pages{command(this, L::コマンド_支払予定, {keys(Qt::CTRL | Qt::Key_1)}), command(this, L::コマンド_支払先保守, {keys(Qt::CTRL | Qt::Key_2)}),
          command(this, L::コマンド_設定情報, {keys(Qt::CTRL | Qt::Key_3)}), command(this, L::コマンド_資金繰り, {keys(Qt::CTRL | Qt::Key_4)})}
    , pageGroup(new QActionGroup(this))
    , previousMonth(command(this, L::コマンド_前月, {keys(Qt::ALT | Qt::Key_Left)}))
    , nextMonth(command(this, L::コマンド_翌月, {keys(Qt::ALT | Qt::Key_Right)}))
    , copyPreviousMonth(command(this, L::コマンド_前月複写, {keys(Qt::CTRL | Qt::Key_R)}))
    , previousBusinessDay(command(this, L::コマンド_前営業日へ, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Left)}, Qt::WidgetShortcut))
    , nextBusinessDay(command(this, L::コマンド_翌営業日へ, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Right)}, Qt::WidgetShortcut))
    , transfer(command(this, L::コマンド_振込データ作成, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_T)}))
    , statement(command(this, L::コマンド_明細消込, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_B)}))
    , importPayees(command(this, L::コマンド_取込))
    , account(command(this, L::コマンド_口座, {keys(Qt::CTRL | Qt::Key_K)}))
    , undoDeletion(command(this, L::コマンド_削除の取消))
    , restore(command(this, L::コマンド_復元))
    , deleteAll(command(this, L::コマンド_全削除))
    , sender(command(this, L::コマンド_振込依頼人))
    , hint(command(this, L::コマンド_ヒント, {keys(Qt::Key_F1)}))
    , keyList(command(this, L::コマンド_キー操作一覧))
    , supportPage(command(this, L::コマンド_掲示板))
    , about(command(this, L::コマンド_バージョン情報))
{
    for (QAction* page : pages) {
        page->setCheckable(true);
        pageGroup->addAction(page);
    }
    pageGroup->setExclusive(true);
    menus_ = {
        {L::メニュー_ファイル, {load, enter, clear, remove, nullptr, print, exportFile, statement, nullptr, quit}},
        {L::メニュー_編集, {undo, redo, nullptr, copy, paste, emptyCells, nullptr, insertLine, deleteLine}},
        {L::メニュー_表示, {pages[0], pages[1], pages[2], pages[3], nullptr, previousMonth, nextMonth}},
        {L::メニュー_支払予定, {copyPreviousMonth, previousBusinessDay, nextBusinessDay, nullptr, transfer}},
        {L::メニュー_支払先, {importPayees, account}},
        {L::メニュー_ツール, {undoDeletion, nullptr, restore, deleteAll, nullptr, sender}},
        {L::メニュー_ヘルプ, {hint, keyList, nullptr, supportPage, about}},
    };
}

QMenuBar* MainActions::makeMenuBar(QWidget* parent) const
{
    auto* bar = new QMenuBar(parent);
    bar->setObjectName(QStringLiteral("MenuBar"));
    // The menus stay in the window on every desktop (no global menu of the desktop's own).
    bar->setNativeMenuBar(false);
    for (const Menu& spec : menus_) {
        const messages::Label title = messages::label(spec.title);
        QMenu* menu = bar->addMenu(title.text);
        menu->setObjectName(QStringLiteral("menu") + title.key);
        for (QAction* action : spec.actions) {
            if (action)
                menu->addAction(action);
            else
                menu->addSeparator();
        }
    }
    return bar;
}

QString MainActions::plainText(const QAction& action)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    QString text = action.text();
    text.remove(mnemonic);
    text.remove(QStringLiteral("..."));
    return text.remove(QLatin1Char('&'));
}
