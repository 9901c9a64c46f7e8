#include "StatusLine.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace backup {

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent)
    , text_(new QLabel(this))
    , undo_(new QPushButton(QStringLiteral("元に戻す"), this))
{
    setObjectName(QStringLiteral("StatusLine"));
    text_->setObjectName(QStringLiteral("lblStatus"));
    undo_->setObjectName(QStringLiteral("cmd元に戻す"));
    undo_->setToolTip(QStringLiteral("Ctrl+Z"));
    undo_->setVisible(false);
    connect(undo_, &QPushButton::clicked, this, &StatusLine::undoRequested);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(undo_);
    // The line keeps its height when empty, so the pages above do not jump.
    setMinimumHeight(undo_->sizeHint().height());
}

void StatusLine::showText(const QString& text, bool offerUndo)
{
    text_->setText(text);
    undo_->setVisible(offerUndo);
}

void StatusLine::clear()
{
    showText(QString(), false);
}

bool StatusLine::undoOffered() const
{
    return !undo_->isHidden();
}

} // namespace backup
