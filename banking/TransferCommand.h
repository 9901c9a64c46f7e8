#pragma once

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

// 振込データ作成: reads the sender and the payees' accounts, lets the user choose the day and
// its lines, makes the file (nothing is written when any field would not fit), asks where,
// writes it whole or not at all, says what was written, shows the day's transfer list and
// offers to mark the lines paid. Every box goes through the message catalogue.
class TransferCommand {
public:
    TransferCommand(store::Session& session, messages::Msg& msg);

    // The command on the month's sheet (`day`: the date of the grid's current line). Answers
    // the sheet rows to mark paid, empty when the user declined or nothing was written.
    std::vector<int> run(const QDate& month, const std::vector<SheetEntry>& lines, const QDate& day, QWidget* parent);

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

private:
    bool readDetails(std::optional<Sender>& sender, PayeeAccounts& accounts);
    QString writeFile(const TransferChoice& choice, QWidget* parent);

    store::Session& session_;
    messages::Msg& msg_;
    Sender sender_;
};

} // namespace banking
