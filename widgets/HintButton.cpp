#include "HintButton.h"

#include "CommandButtons.h"

#include <QPushButton>
#include <QStyle>

QPushButton* makeHintButton(const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setIcon(button->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    button->setToolTip(QStringLiteral("ヒント"));
    setCommandShortcut(button, QKeySequence(Qt::Key_F1));
    button->setAccessibleName(QStringLiteral("ヒント"));
    return button;
}
