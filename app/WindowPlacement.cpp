#include "WindowPlacement.h"

#include "PrivateFiles.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QWidget>

namespace {

const QString kPosition = QStringLiteral("window/position"); // of the frame
const QString kSize = QStringLiteral("window/size");         // inside the frame
const QString kMaximized = QStringLiteral("window/maximized");
const QString kPage = QStringLiteral("window/page");

qint64 overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

QList<QRect> availableScreenAreas()
{
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    }
    return areas;
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& window, QTabWidget* pages, QSettings& settings)
    : window_(window)
    , pages_(pages)
    , settings_(settings)
{
    window_.installEventFilter(this);
}

QRect WindowPlacement::fitOnScreens(const QRect& wanted, const QList<QRect>& screens)
{
    if (screens.isEmpty() || !wanted.isValid())
        return wanted;
    QRect screen = screens.front();
    qint64 best = 0;
    for (const QRect& candidate : screens) {
        if (overlap(wanted, candidate) > best) {
            best = overlap(wanted, candidate);
            screen = candidate;
        }
    }
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(screen.size()));
    fitted.moveLeft(std::clamp(fitted.left(), screen.left(), screen.right() + 1 - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), screen.top(), screen.bottom() + 1 - fitted.height()));
    return fitted;
}

void WindowPlacement::restore()
{
    // The frame's top left corner is kept on screen, so the title bar can always be reached.
    const QRect remembered(settings_.value(kPosition).toPoint(), settings_.value(kSize).toSize());
    if (settings_.contains(kPosition) && remembered.isValid()) {
        const QRect fitted = fitOnScreens(remembered, availableScreenAreas());
        window_.resize(fitted.size().expandedTo(window_.minimumSize()));
        window_.move(fitted.topLeft());
    }
    if (settings_.value(kMaximized, false).toBool())
        window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
    if (pages_) {
        const int page = settings_.value(kPage, 0).toInt();
        if (page >= 0 && page < pages_->count())
            pages_->setCurrentIndex(page);
    }
}

void WindowPlacement::save()
{
    const bool maximized = window_.isMaximized();
    settings_.setValue(kPosition, maximized ? window_.normalGeometry().topLeft() : window_.pos());
    settings_.setValue(kSize, maximized ? window_.normalGeometry().size() : window_.size());
    settings_.setValue(kMaximized, maximized);
    if (pages_)
        settings_.setValue(kPage, pages_->currentIndex());
    settings_.sync();
    // The settings file is made with the modes of any new file; it keeps the narrowed mode
    // when it is written again.
    store::narrowFileMode(settings_.fileName());
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close)
        save();
    return QObject::eventFilter(watched, event);
}
