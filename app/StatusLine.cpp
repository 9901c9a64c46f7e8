#include "StatusLine.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

namespace {

void openWithDesktop(const QString& folder)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent)
    , openFolder(openWithDesktop)
    , text_(new QLabel(this))
    , tip_(new QLabel(this))
    , undo_(new QPushButton(QStringLiteral("元に戻す"), this))
    , folder_(new QPushButton(QStringLiteral("フォルダを開く"), this))
    , opacity_(new QGraphicsOpacityEffect(this))
    , fade_(new QPropertyAnimation(opacity_, "opacity", this))
    , age_(new QTimer(this))
{
    setObjectName(QStringLiteral("StatusLine"));
    text_->setObjectName(QStringLiteral("lblStatus"));
    text_->setTextFormat(Qt::PlainText);
    // A long message never widens the window: what the line cannot show, its tooltip does.
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    tip_->setObjectName(QStringLiteral("lblStatusTip"));
    tip_->setTextFormat(Qt::PlainText);
    tip_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    tip_->setVisible(false);
    undo_->setObjectName(QStringLiteral("cmd元に戻す"));
    undo_->setToolTip(QStringLiteral("Ctrl+Z"));
    undo_->setVisible(false);
    folder_->setObjectName(QStringLiteral("cmdフォルダを開く"));
    folder_->setVisible(false);
    connect(undo_, &QPushButton::clicked, this, &StatusLine::undoRequested);
    connect(folder_, &QPushButton::clicked, this, [this] {
        if (openFolder && !filePath_.isEmpty())
            openFolder(QFileInfo(filePath_).absolutePath());
    });
    opacity_->setOpacity(1.0);
    text_->setGraphicsEffect(opacity_);
    fade_->setDuration(1500);
    fade_->setStartValue(1.0);
    fade_->setEndValue(0.0);
    connect(fade_, &QPropertyAnimation::finished, this, &StatusLine::clear);
    age_->setSingleShot(true);
    connect(age_, &QTimer::timeout, this, &StatusLine::startFading);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(tip_, 1);
    layout->addWidget(folder_);
    layout->addWidget(undo_);
    // The line keeps its height when empty, so the pages above do not jump.
    setMinimumHeight(undo_->sizeHint().height());
}

void StatusLine::present(const QString& text, bool offerUndo, const QString& filePath)
{
    fade_->stop();
    opacity_->setOpacity(1.0);
    hasMessage_ = !text.isEmpty();
    filePath_ = filePath;
    text_->setText(text);
    text_->setToolTip(text);
    undo_->setVisible(offerUndo);
    folder_->setVisible(!filePath.isEmpty());
    // An offer to undo stays as long as it holds; any other message ages.
    if (hasMessage_ && !offerUndo)
        age_->start(static_cast<int>(fadeAfter_.count()));
    else
        age_->stop();
}

void StatusLine::showText(const QString& text, bool offerUndo)
{
    present(text, offerUndo, QString());
    if (!hasMessage_ && !offerUndo)
        showStanding();
}

void StatusLine::showFileWritten(const QString& text, const QString& filePath)
{
    present(text, false, filePath);
}

void StatusLine::clear()
{
    present(QString(), false, QString());
    showStanding();
}

void StatusLine::withdraw(const QString& text)
{
    if (hasMessage_ && !undoOffered() && filePath_.isEmpty() && text_->text() == text)
        clear();
}

void StatusLine::setStanding(const QString& text)
{
    standing_ = text;
    if (!hasMessage_)
        showStanding();
}

void StatusLine::showStanding()
{
    text_->setText(standing_);
    text_->setToolTip(standing_);
}

void StatusLine::showTip(const QString& tip)
{
    tip_->setText(tip);
    tip_->setVisible(!tip.isEmpty());
    text_->setVisible(tip.isEmpty());
}

QString StatusLine::tip() const
{
    return tip_->text();
}

bool StatusLine::undoOffered() const
{
    return !undo_->isHidden();
}

QString StatusLine::text() const
{
    return text_->text();
}

void StatusLine::setFadeAfter(std::chrono::milliseconds age)
{
    fadeAfter_ = age;
    if (age_->isActive())
        age_->start(static_cast<int>(fadeAfter_.count()));
}

void StatusLine::startFading()
{
    fade_->start();
}

