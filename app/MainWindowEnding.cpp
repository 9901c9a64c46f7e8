// The main window's side of the end of a session: the system's signals and the session
// manager's request.

#include "MainWindow.h"

#include "LongCommand.h"
#include "SchedulePage.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

namespace {
constexpr int kCloseRetryMs = 50;
} // namespace

void MainWindow::closeWithoutQuestions()
{
    if (closingWithoutQuestions_)
        return;
    // A box asks (Escape answers it: いいえ or キャンセル, never a drop of the sheet) or a
    // dialog is open: it goes first, and the command that opened it returns to the main
    // loop before the files close under it.
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    // A long command (an import) is asked to stop, and rolls back; the files close once it
    // has returned.
    store::LongCommand::requestStop();
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1 || schedulePage_->isSaving()
        || store::LongCommand::running()) {
        QTimer::singleShot(kCloseRetryMs, this, &MainWindow::closeWithoutQuestions);
        return;
    }
    closingWithoutQuestions_ = true;
    if (!close())
        closingWithoutQuestions_ = false;
}

bool MainWindow::commitSessionData()
{
    return !closingWithoutQuestions_ && !schedulePage_->isSaving() && schedulePage_->confirmLeavingSheet();
}
