#pragma once

#include <QApplication>
#include <QColorDialog>
#include <QTimer>

#include <functional>
#include <memory>

// Answers the next colour dialog once it is open: `answer` gets the dialog and must accept
// or reject it. Gives up after about five seconds so that a test without a dialog never hangs.
inline void answerNextColorDialog(std::function<void(QColorDialog&)> answer)
{
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer), tries] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QColorDialog*>(widget); dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                answer(*dialog);
                return;
            }
        }
        if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
