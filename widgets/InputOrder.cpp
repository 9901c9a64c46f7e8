#include "InputOrder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

namespace {

// What the user does with the keyboard and the mouse buttons; moves of the mouse are left out.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}

} // namespace

void InputOrder::prepareEnvironment()
{
    // Read by Qt's IBus client when it is made, with the application object.
    qputenv("IBUS_ENABLE_SYNC_MODE", "1");
}

InputOrder::InputOrder(QObject* application)
    : QObject(application)
{
    application->installEventFilter(this);
}

bool InputOrder::eventFilter(QObject* watched, QEvent* event)
{
    // Input from the window system comes to the window first, then to the widget in it.
    // Posted events are never spontaneous: sending them brings no input here again.
    if (event->spontaneous() && isUserInput(event->type()) && qobject_cast<QWindow*>(watched))
        QCoreApplication::sendPostedEvents();
    return QObject::eventFilter(watched, event);
}
