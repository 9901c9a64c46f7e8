#pragma once

#include <QKeySequence>

#include <initializer_list>
#include <span>
#include <vector>

class QAction;
class QBoxLayout;
class QPushButton;
class QWidget;

// The commands a page's buttons stand for, as the main window's menus name them; a page
// has each at most once. None: a button the menus do not offer.
enum class PageCommand {
    None,
    Load,
    Enter,
    Clear,
    Remove,
    Print,
    Export,
    Quit,
    InsertLine,
    DeleteLine,
    PreviousMonth,
    NextMonth,
    CopyPreviousMonth,
    Transfer,
    Statement,
    Import,
    Account,
    DeleteAll,
    Sender,
    Hint,
};

struct CommandButton {
    const char* name;
    const char* caption;
    PageCommand command = PageCommand::None;
};

// A page's command is an action of the page: the button's click triggers it, and the main
// window's menu bar triggers the same action. The page connects what the command does to
// the action's triggered().

// Makes `button` the face of a new command of `page`, named and captioned as the button
// (the button is enabled while the command is); answers the command's action.
QAction* makeCommand(QPushButton* button, QWidget* page, PageCommand command = PageCommand::None);
// The page's action for `command`; null when the page has none.
QAction* pageCommand(const QWidget* page, PageCommand command);
// The button of the page's action for `command`; null when the page has none.
QPushButton* commandButton(const QWidget* page, PageCommand command);

// Adds a page's command buttons to its button column in the given order, each named,
// captioned and made the face of its command; answers the commands in the same order.
std::vector<QAction*> addCommandButtons(QBoxLayout* column, QWidget* page, std::span<const CommandButton> buttons);
inline std::vector<QAction*> addCommandButtons(QBoxLayout* column, QWidget* page, std::initializer_list<CommandButton> buttons)
{
    return addCommandButtons(column, page, std::span<const CommandButton>(buttons.begin(), buttons.size()));
}

// Names the keys of a button's command in its tooltip, after the tooltip it has.
void showKeysInToolTip(QPushButton* button, const QKeySequence& keys);
