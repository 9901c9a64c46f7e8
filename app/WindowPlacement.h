#pragma once

#include <QList>
#include <QObject>
#include <QRect>

class QSettings;
class QTabWidget;
class QWidget;

// Keeps a window's size, position, maximized state and current page between runs in
// the given settings: restore() before the window is shown, and the window's close
// stores them again. A remembered place on a screen that is gone, or partly off every
// screen, is moved and shrunk onto one that is there.
class WindowPlacement : public QObject {
public:
    WindowPlacement(QWidget& window, QTabWidget* pages, QSettings& settings);
    void restore();
    void save();

    // The rectangle to use for wanted on screens whose available areas are given (the
    // primary one first): on the screen it overlaps most, or on the first when it overlaps
    // none, no larger than that screen and wholly inside it.
    static QRect fitOnScreens(const QRect& wanted, const QList<QRect>& screens);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    QTabWidget* pages_;
    QSettings& settings_;
};
