// Creates the data directory given as the only argument, and whichever of the two data
// files is missing in it, from the schema compiled into the program. Existing files are
// never opened or changed.
#include "DataFiles.h"

#include <QCoreApplication>
#include <QTextStream>

#include <SQLiteCpp/Exception.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: quorel1-mkdata DATA_DIRECTORY\n";
        return 2;
    }
    try {
        for (const QString& path : store::createMissingDataFiles(app.arguments().at(1)))
            QTextStream(stdout) << "created " << path << "\n";
    } catch (const std::exception& e) {
        err << "quorel1-mkdata: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
