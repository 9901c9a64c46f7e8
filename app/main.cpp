#include "DataFiles.h"
#include "FrmQuorel1.h"
#include "MessagePresenter.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    messages::QtMessagePresenter presenter;
    StartupOutcome started = startQuorel1(store::dataDirectoryFor(QCoreApplication::applicationDirPath()), presenter);
    if (!started.window)
        return started.exitCode;
    presenter.setParent(started.window.get());
    started.window->show();
    return app.exec();
}
