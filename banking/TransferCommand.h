#pragma once

#include "TransferDialog.h"
#include "TransferPlan.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}
namespace report {
class ReportWindow;
}

namespace banking {

class TransferDialog;

// What the dialog chose: the transfer date and the ticked lines.
struct TransferChoice {
    QDate day;
    std::vector<TransferCandidate> chosen;
};

// A sheet line written to a transfer file and the yen it sends.
struct SentTransfer {
    int row = -1;
    qint64 yen = 0;
};

// 振込データ作成: reads the sender and the payees' accounts, lets the user choose the day and
// its lines, asks when the day is before today and when a file written for the day already
// holds one of the chosen transfers, makes the file (nothing is written when any field
// would not fit), asks where, writes it whole or not at all, records it, says what was
// written, shows the day's transfer list and offers to mark the lines paid. Every box goes
// through the message catalogue.
class TransferCommand {
public:
    TransferCommand(store::Session& session, messages::Msg& msg);

    // The command on the month's sheet (`day`: the date of the grid's current line). Answers
    // the sheet rows written and what each sends, to be added to their 支払額; empty when the
    // user declined the marking or nothing was written.
    std::vector<SentTransfer> run(const QDate& month, const std::vector<SheetEntry>& lines, const QDate& day, QWidget* parent);

    // Opens the list of a day's transfers (preview, print and PDF).
    report::ReportWindow* showList(const QDate& day, const std::vector<TransferCandidate>& chosen, const QString& file, QWidget* owner);

    // The suggested file: the documents folder and 振込_<yyyyMMdd>.txt.
    static QString suggestedPath(const QDate& day);

    // The dialogs, replaceable for tests: the dialog's answer (nothing for cancel) and the
    // file to write (an empty text for cancel).
    std::function<std::optional<TransferChoice>(TransferDialog& dialog)> askChoice;
    std::function<QString(const QString& suggested, QWidget* parent)> askPath;
    // Told the path of each file written whole.
    std::function<void(const QString& path)> written;
    // Today's date, replaceable for tests.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

private:
    bool readDetails(std::optional<Sender>& sender, TransferSources& sources);
    // The questions before a file is made: a day before today, transfers already written.
    bool confirmChoice(const TransferChoice& choice);
    void record(const TransferChoice& choice, const QString& path);
    QString writeFile(const TransferChoice& choice, QWidget* parent);

    store::Session& session_;
    messages::Msg& msg_;
    Sender sender_;
};

} // namespace banking
