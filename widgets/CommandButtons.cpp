#include "CommandButtons.h"

#include <QBoxLayout>
#include <QPushButton>

void setCommandShortcut(QPushButton* button, const QKeySequence& shortcut)
{
    button->setShortcut(shortcut);
    const QString keys = shortcut.toString(QKeySequence::NativeText);
    button->setToolTip(button->toolTip().isEmpty() ? keys : button->toolTip() + QStringLiteral(" (") + keys + QLatin1Char(')'));
}

std::vector<QPushButton*> addCommandButtons(QBoxLayout* column, QWidget* parent, std::span<const CommandButton> buttons)
{
    std::vector<QPushButton*> made;
    for (const CommandButton& command : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(command.caption), parent);
        button->setObjectName(QString::fromUtf8(command.name));
        if (!command.shortcut.isEmpty())
            setCommandShortcut(button, command.shortcut);
        column->addWidget(button);
        made.push_back(button);
    }
    return made;
}
