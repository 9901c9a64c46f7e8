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

// A sheet line written to a transfer file and the yen of the bill it settles (the whole
// bill also when the payee bore the fee).
struct SentTransfer {
    int row = -1;
    qint64 yen = 0;
};

// What marking the lines paid does: the bills settled and, when the book's setting asks for
// it, one line 振込手数料 on the transfer day with the fees the account is charged.
struct PaidTransfers {
    std::vector<SentTransfer> sent;
    QDate day;
    std::optional<qint64> feeLineYen;
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
    // the sheet rows written and the bill each settles, to be added to their 支払額, and the
    // fee line to add; empty when the user declined the marking or nothing was written.
    PaidTransfers run(const QDate& month, const std::vector<SheetEntry>& lines, const QDate& day, QWidget* parent);

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
    bool addFeeLine_ = false;
};

} // namespace banking
