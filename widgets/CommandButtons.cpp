#include "CommandButtons.h"

#include <QAction>
#include <QBoxLayout>
#include <QPushButton>

namespace {

// An action's button: the one whose click it answers, kept as the action's property.
constexpr const char* kButton = "commandButton";

} // namespace

QAction* makeCommand(QPushButton* button, QWidget* page, PageCommand command)
{
    auto* action = new QAction(button->text().isEmpty() ? button->toolTip() : button->text(), page);
    action->setObjectName(button->objectName());
    action->setData(static_cast<int>(command));
    action->setProperty(kButton, QVariant::fromValue(static_cast<QObject*>(button)));
    QObject::connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    return action;
}

QAction* pageCommand(const QWidget* page, PageCommand command)
{
    if (!page || command == PageCommand::None)
        return nullptr;
    for (QAction* action : page->findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        if (action->data() == QVariant(static_cast<int>(command)))
            return action;
    }
    return nullptr;
}

QPushButton* commandButton(const QWidget* page, PageCommand command)
{
    const QAction* action = pageCommand(page, command);
    return action ? qobject_cast<QPushButton*>(action->property(kButton).value<QObject*>()) : nullptr;
}

std::vector<QAction*> addCommandButtons(QBoxLayout* column, QWidget* page, std::span<const CommandButton> buttons)
{
    std::vector<QAction*> made;
    for (const CommandButton& command : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(command.caption), page);
        button->setObjectName(QString::fromUtf8(command.name));
        column->addWidget(button);
        made.push_back(makeCommand(button, page, command.command));
    }
    return made;
}

void showKeysInToolTip(QPushButton* button, const QKeySequence& keys)
{
    if (!button || keys.isEmpty())
        return;
    const QString text = keys.toString(QKeySequence::NativeText);
    button->setToolTip(button->toolTip().isEmpty() ? text : button->toolTip() + QStringLiteral(" (") + text + QLatin1Char(')'));
}
