#pragma once

#include "CsvStatement.h"
#include "ReconcilePlan.h"
#include "TransferPlan.h"

#include <functional>
#include <optional>

class QWidget;
namespace store {
class Session;
}
namespace messages {
class Msg;
}

namespace statement {

class ReconcileDialog;

// 入出金明細の消込: asks for a statement file, reads it whole (a CSV file through the
// columns remembered for its column titles, or chosen now and remembered), matches the
// withdrawals not reconciled before to the open lines of the month's sheet, and lets the
// user decide in the reconciliation dialog. Withdrawals of other months are shown only
// when they fit a line of this month. The decisions are remembered in the main file before
// they are answered, so that the same statement imported again proposes nothing new. Every
// box goes through the message catalogue.
class StatementImport {
public:
    StatementImport(store::Session& session, messages::Msg& msg);

    // The command on the month's sheet: answers what to put on the sheet; nothing when the
    // user cancelled, the file was refused, nothing was new, or the decisions could not be
    // remembered (said in a box).
    std::optional<ReconcilePlan> run(const QDate& month, const std::vector<banking::SheetEntry>& lines, QWidget* parent);
    // The plan's step of the sheet was undone (applied false) or redone: its statement lines
    // are forgotten or remembered again, so that an import proposes them as the sheet shows.
    void follow(const ReconcilePlan& plan, bool applied);

    // The dialogs, replaceable for tests: the file to read (empty for cancel), the columns
    // of a CSV layout not seen before (nothing for cancel), the reconciliation's answer.
    std::function<QString(QWidget* parent)> askPath;
    std::function<std::optional<CsvColumns>(const QStringList& titles, QWidget* parent)> askColumns;
    std::function<bool(ReconcileDialog& dialog)> decide;
    // Today's date, replaceable for tests: era dates are read as days up to a year after it.
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // Files larger than this show a progress dialog while they are read and matched.
    static constexpr qint64 kProgressBytes = 1 << 20;

private:
    std::optional<Statement> readFile(const QString& path, QWidget* parent);
    std::optional<MatchedStatement> match(Statement statement, const QDate& month, const std::vector<banking::SheetEntry>& lines, int window);
    bool remember(const ReconcilePlan& plan, int window, int windowBefore);

    store::Session& session_;
    messages::Msg& msg_;
};

// The open lines of the sheet: lines with a payee and a date whose 予定額 − 支払額 is above 0.
std::vector<OpenLine> openLines(const std::vector<banking::SheetEntry>& lines);

} // namespace statement
