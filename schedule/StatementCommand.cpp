#include "StatementCommand.h"

#include "BusinessDays.h"
#include "Calendar.h"
#include "MonthController.h"

#include <QUndoStack>

namespace schedule {

namespace {

// The first empty line after the last line that holds anything; -1 when there is none.
int firstFreeRow(const SheetLines& lines)
{
    int last = static_cast<int>(lines.size()) - 1;
    while (last >= 0 && !lines[static_cast<std::size_t>(last)].holdsData())
        --last;
    return last + 1 < static_cast<int>(lines.size()) ? last + 1 : -1;
}

} // namespace

StatementCommand::StatementCommand(MonthController& month, SheetChange before, SheetChange after, std::function<void(bool)> followed)
    : QUndoCommand(QStringLiteral("明細の消込"))
    , month_(month)
    , before_(std::move(before))
    , after_(std::move(after))
    , followed_(std::move(followed))
{
}

StatementCommand::Outcome StatementCommand::push(MonthController& month, const std::vector<LinePayment>& payments, const std::vector<StatementEntry>& entries,
    std::function<void(bool)> followed)
{
    Outcome outcome;
    const SheetLines& lines = month.lines();
    SheetLines after = lines;
    for (const LinePayment& payment : payments) {
        if (payment.row < 0 || payment.row >= static_cast<int>(after.size()) || payment.amount.isZero())
            continue;
        SheetLine& line = after[static_cast<std::size_t>(payment.row)];
        const std::optional<ledger::Amount> paid = line.paid.value_or(ledger::Amount()).plus(payment.amount);
        if (!line.hasPayee() || !paid)
            continue;
        line.paid = *paid;
        ++outcome.paid;
    }
    for (const StatementEntry& entry : entries) {
        if (calendar::firstOfMonth(entry.date) != month.month())
            continue;
        const int row = firstFreeRow(after);
        if (row < 0) {
            ++outcome.noRoom;
            continue;
        }
        SheetLine& line = after[static_cast<std::size_t>(row)];
        setLineDate(line, entry.date);
        line.payee = entry.payee;
        line.scheduled = entry.amount;
        line.paid = entry.amount;
        ++outcome.added;
    }
    SheetChange before;
    SheetChange next;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == after[i])
            continue;
        before.lines.emplace_back(static_cast<int>(i), lines[i]);
        next.lines.emplace_back(static_cast<int>(i), after[i]);
    }
    if (next.lines.empty())
        return {};
    month.undoStack()->push(new StatementCommand(month, std::move(before), std::move(next), std::move(followed)));
    return outcome;
}

void StatementCommand::redo()
{
    month_.apply(after_);
    month_.writeDraftState();
    if (pushed_ && followed_)
        followed_(true);
    pushed_ = true;
}

void StatementCommand::forget() const
{
    if (followed_)
        followed_(false);
}

void StatementCommand::undo()
{
    month_.apply(before_);
    month_.writeDraftState();
    if (followed_)
        followed_(false);
}

} // namespace schedule
