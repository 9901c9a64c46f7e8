#pragma once

#include <QObject>

// Keeps what the user types in the order it was typed while an input method stands between
// the keyboard and the program.
//
// Qt's IBus client hands each key to IBus over D-Bus and, by default, goes on without
// waiting: a key IBus does not take comes back later through the event queue. When IBus's
// answer is already there by the time the client looks (the program was held up between
// sending the key and looking, as on a loaded machine), the client lets that key through at
// once, ahead of earlier keys whose answers still wait in the queue: a typed 12000 becomes
// 10200. prepareEnvironment() has the client wait for IBus's answer to every key instead,
// so that each key is through IBus before the next one is read.
//
// What the input method sends of its own (a committed or composed text) arrives as queued
// events; the filter delivers everything queued before a key or a mouse button reaches a
// window, so that text committed by one key is in place before the next key acts on it.
class InputOrder : public QObject {
public:
    // Before the application object is made: the input method is then asked in turn.
    static void prepareEnvironment();

    // Watches the application's input from now on (a child of the application object).
    explicit InputOrder(QObject* application);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
