#pragma once

#include "Overview.h"
#include "ExportFile.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace exchange {

// The export command of the schedule page and the report window: asks what to write,
// reads the stored months, names every line the chosen format cannot hold before
// anything is written (offering UTF-8 for CSV), asks where, and writes the file whole
// or not at all. Failures are reported through the message catalogue.
class ExportCommand {
public:
    ExportCommand(store::Session& session, messages::Msg& msg);

    // Runs the whole command for the month shown (invalid when none). Answers whether a
    // file was written.
    bool run(const QDate& shownMonth, QWidget* parent);

    // The command after the first question: checks, asks where and writes.
    bool exportMonths(ExportChoice choice, QWidget* parent);

    // The cash-flow page's export of the overview it shows (era: the book's year style):
    // asks for the format and where, and writes the file whole or not at all. Answers
    // whether a file was written.
    bool exportOverview(const ledger::Overview& overview, bool era, QWidget* parent);

    // The dialogs, replaceable for tests: what to export (nothing for cancel), the format
    // of a document named by its subject (nothing for cancel), and the file to write (an
    // empty text for cancel).
    std::function<std::optional<ExportChoice>(const QDate& shownMonth, QWidget* parent)> askChoice;
    std::function<std::optional<ExportChoice>(const QString& subject, QWidget* parent)> askFormat;
    std::function<QString(const QString& suggested, ExportFormat format, QWidget* parent)> askPath;
    // Told the path of each file written whole.
    std::function<void(const QString& path)> written;

    // The suggested file: the documents folder and the default name of the choice.
    static QString suggestedPath(const ExportChoice& choice);
    static QString suggestedPath(const QString& fileName);

private:
    bool acceptProblems(const std::vector<MonthData>& months, ExportChoice& choice);
    // Asks where, with the suggested file name, and writes there; a failure is reported.
    bool saveAs(const ExportChoice& choice, const QString& fileName, QWidget* parent, const std::function<QString(const QString& path)>& write);

    store::Session& session_;
    messages::Msg& msg_;
};

// At most `limit` lines of a list for a message box, then how many more there are.
QString listForMessage(const QStringList& lines, int limit = 20);

} // namespace exchange
