#pragma once

#include <QString>
#include <QStringList>

// What the command line asks the program to do.
struct CommandLineRequest {
    enum class Action {
        Run,         // start the program
        ShowHelp,    // print helpText() and end
        ShowVersion, // print versionText() and end
        Refuse,      // print error and end with a usage failure
    };
    Action action = Action::Run;
    QString dataDirectory; // --data made absolute, ending in '/'; empty when not given
    QString error;         // why the command line was refused, in Japanese
};

// The program's options: -h/--help, -v/--version and --data DIR. Parsing needs no
// application object, so --help and --version answer without a display.
class CommandLine {
public:
    // arguments: program name first, as QCoreApplication::arguments(); a relative
    // --data folder is taken from workingDirectory.
    static CommandLineRequest parse(const QStringList& arguments, const QString& workingDirectory);
    static QString helpText(const QString& programName);
    static QString versionText();
    // The exit status of a refused command line.
    static constexpr int kUsageExitCode = 2;
};
