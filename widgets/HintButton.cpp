#include "HintButton.h"

#include <QPushButton>
#include <QStyle>

QPushButton* makeHintButton(const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setIcon(button->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
    button->setToolTip(QStringLiteral("ヒント"));
    button->setAccessibleName(QStringLiteral("ヒント"));
    return button;
}
