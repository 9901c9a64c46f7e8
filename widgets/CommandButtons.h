#pragma once

#include <QKeySequence>

#include <initializer_list>
#include <span>
#include <vector>

class QBoxLayout;
class QPushButton;
class QWidget;

struct CommandButton {
    const char* name;
    const char* caption;
    QKeySequence shortcut = {};
};

// Adds a page's command buttons to its button column in the given order, each named,
// captioned and, where given, with a keyboard shortcut shown in its tooltip. A shortcut
// works while its page is the one shown.
std::vector<QPushButton*> addCommandButtons(QBoxLayout* column, QWidget* parent, std::span<const CommandButton> buttons);
inline std::vector<QPushButton*> addCommandButtons(QBoxLayout* column, QWidget* parent, std::initializer_list<CommandButton> buttons)
{
    return addCommandButtons(column, parent, std::span<const CommandButton>(buttons.begin(), buttons.size()));
}

// Gives a button a keyboard shortcut and names it in the tooltip.
void setCommandShortcut(QPushButton* button, const QKeySequence& shortcut);
