#include "Launch.h"

#include "CommandLine.h"
#include "FirstStart.h"
#include "InputOrder.h"
#include "MainWindow.h"
#include "MessagePresenter.h"
#include "SessionEnd.h"
#include "Msg.h"
#include "Startup.h"
#include "TerminationSignals.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextStream>

namespace {

QStringList rawArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --help and --version answer before the application object exists: no display needed.
bool answeredWithoutWindow(const CommandLineRequest& request, const QString& programName)
{
    if (request.action == CommandLineRequest::Action::ShowHelp)
        QTextStream(stdout) << CommandLine::helpText(programName);
    else if (request.action == CommandLineRequest::Action::ShowVersion)
        QTextStream(stdout) << CommandLine::versionText();
    else
        return false;
    return true;
}

} // namespace

int runQuorel1(int argc, char** argv, const std::function<void(MainWindow&)>& shown)
{
    const QString programName = QDir(QString::fromLocal8Bit(argv[0])).dirName();
    if (answeredWithoutWindow(CommandLine::parse(rawArguments(argc, argv), QDir::currentPath()), programName))
        return 0;
    QCoreApplication::setOrganizationName(QStringLiteral("TOVARK"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorel1"));
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.example.tovark.Quorel1"));
    InputOrder::prepareEnvironment();
    QApplication app(argc, argv); // takes Qt's own options (-platform, ...) off the list
    new InputOrder(&app);
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("jp.example.tovark.Quorel1")));
    const CommandLineRequest request = CommandLine::parse(app.arguments(), QDir::currentPath());
    if (request.action == CommandLineRequest::Action::Refuse) {
        QTextStream(stderr) << programName << ": " << request.error << "\n"
                            << "使い方は " << programName << " --help で表示します。\n";
        return CommandLine::kUsageExitCode;
    }
    prepareApplication();
    messages::QtMessagePresenter presenter;
    messages::Msg msg(presenter);
    const DataLocation location = DataLocation::choose(request.dataDirectory, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    switch (prepareDataFolder(location, msg)) {
    case FirstStartOutcome::Declined:
        return 0;
    case FirstStartOutcome::Failed:
        return 1;
    case FirstStartOutcome::Ready:
        break;
    }
    StartupOutcome started = startQuorel1(location.directory, presenter);
    if (!started.window)
        return started.exitCode;
    presenter.setParent(started.window.get());
    QSettings settings;
    WindowPlacement placement(*started.window, started.window->findChild<QTabWidget*>(QStringLiteral("SSTab1")), settings);
    placement.restore();
    // Logout, shutdown and a closed terminal close the window as its close button does.
    TerminationSignals systemSignals;
    endWithTheSession(*started.window, systemSignals);
    started.window->show();
    if (shown)
        shown(*started.window);
    return app.exec();
}
