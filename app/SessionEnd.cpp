#include "SessionEnd.h"

#include "MainWindow.h"
#include "TerminationSignals.h"

#include <QGuiApplication>
#include <QSessionManager>

void endWithTheSession(MainWindow& window, TerminationSignals& systemSignals)
{
    QObject::connect(&systemSignals, &TerminationSignals::received, &window, [&window](int) { window.closeWithoutQuestions(); });
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window, [&window](QSessionManager& manager) {
        // Without leave to ask, nothing is asked: the sheet's lines are in the work file.
        if (!manager.allowsInteraction())
            return;
        const bool mayEnd = window.commitSessionData();
        manager.release();
        if (!mayEnd)
            manager.cancel();
    });
}
