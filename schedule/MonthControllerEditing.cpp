// The month controller's edits and its save: each edit becomes one step of the undo stack.

#include "MonthController.h"

#include "DayText.h"
#include "Holidays.h"
#include "MonthVersion.h"
#include "MonthWrite.h"
#include "PaymentRules.h"
#include "SaveProgress.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetCommands.h"
#include "SheetFigures.h"
#include "Skip.h"
#include "Transaction.h"

#include <QUndoStack>

#include <algorithm>

namespace schedule {

void MonthController::setCarry(std::optional<ledger::Amount> carry)
{
    // A blank carry-over counts as 0: emptying a 0 changes nothing.
    if (figures_.繰越額.value_or(ledger::Amount()) == carry.value_or(ledger::Amount()))
        return;
    pushChange(stepText(SheetStep::Carry), lines_, carry);
}

bool MonthController::editCell(int row, int column, const QVariant& value)
{
    if (!filesOpen() || row < 0 || row >= static_cast<int>(lines_.size()))
        return false;
    SheetLines after = lines_;
    SheetLine& line = after[static_cast<std::size_t>(row)];
    const QString text = value.isNull() ? QString() : value.toString();
    if (const auto refused = enterValue(line, column, text, month_, checkName)) {
        emit cellRefused(row, column, text, *refused);
        return false;
    }
    const bool newName = column == kCol支払先名 && line.hasPayee() && line.payee != lines_[static_cast<std::size_t>(row)].payee;
    if (!pushChange(stepText(SheetStep::TypedValue), after))
        return true;
    if (newName) {
        typedNames_ << line.payee;
        emit payeesTyped({line.payee});
    }
    return true;
}

std::vector<RefusedValue> MonthController::paste(const std::vector<PasteCell>& cells)
{
    std::vector<RefusedValue> refused;
    if (!filesOpen())
        return refused;
    SheetLines after = lines_;
    QStringList names;
    for (const PasteCell& cell : cells) {
        if (cell.row < 0 || cell.row >= static_cast<int>(after.size())) {
            refused.push_back({cell, CellRefusal::PastTheSheet});
            continue;
        }
        SheetLine& line = after[static_cast<std::size_t>(cell.row)];
        if (const auto why = enterValue(line, cell.column, cell.text, month_, checkName))
            refused.push_back({cell, *why});
        else if (cell.column == kCol支払先名 && line.hasPayee())
            names << line.payee;
    }
    if (pushChange(stepText(SheetStep::Paste), after) && !names.isEmpty()) {
        typedNames_ << names;
        emit payeesTyped(names);
    }
    return refused;
}

CopyOutcome MonthController::copyPreviousMonth(const std::function<RepeatChoice(const QStringList& held)>& askRepeat)
{
    if (!filesOpen() || !month_.isValid())
        return {};
    auto& main = session_.mainDb();
    std::vector<ledger::StoredLine> previous = ledger::monthLines(main, month_.addMonths(-1));
    // Last month's bills that the sheet holds already would be paid twice: the user decides.
    QStringList skipped;
    if (const std::vector<std::size_t> held = linesAlreadyOnSheet(lines_, previous); !held.empty() && askRepeat) {
        QStringList named;
        for (std::size_t place : held)
            named << repeatedLineText(previous[place]);
        const RepeatChoice choice = askRepeat(named);
        if (choice == RepeatChoice::Cancel)
            return {CopyOutcome::Cancelled};
        if (choice == RepeatChoice::Missing) {
            skipped = named;
            for (auto place = held.rbegin(); place != held.rend(); ++place)
                previous.erase(previous.begin() + static_cast<std::ptrdiff_t>(*place));
            if (previous.empty())
                return {CopyOutcome::Copied, 0, skipped};
        }
    }
    const RepeatRules rules{ledger::readPaymentRules(main), ledger::readDefaultShift(main)};
    SheetLines after = lines_;
    CopyOutcome outcome = repeatPreviousMonth(after, previous, month_, rules);
    outcome.skipped = skipped;
    if (outcome.kind == CopyOutcome::Copied)
        pushChange(stepText(SheetStep::RepeatMonth), after);
    return outcome;
}

BusinessDayOutcome MonthController::moveToBusinessDay(const std::vector<int>& rows, bool forward)
{
    if (!filesOpen())
        return {};
    SheetLines after = lines_;
    const BusinessDayOutcome outcome = moveToBusinessDays(after, rows, forward ? calendar::HolidayShift::翌営業日 : calendar::HolidayShift::前営業日);
    if (!outcome.moved.empty())
        pushChange(stepText(forward ? SheetStep::ToNextBusinessDay : SheetStep::ToPreviousBusinessDay), after);
    return outcome;
}

InsertOutcome MonthController::insertLine(int row)
{
    if (!filesOpen() || row < 0 || row >= static_cast<int>(lines_.size()))
        return InsertOutcome::Inserted;
    if (lines_.back().holdsData())
        return InsertOutcome::NoRoom;
    SheetLines after = lines_;
    after.pop_back();
    SheetLine blank;
    after.insert(after.begin() + row, blank);
    pushChange(stepText(SheetStep::InsertLine), after);
    return InsertOutcome::Inserted;
}

bool MonthController::lineIsStored(int row) const
{
    return row >= 0 && row < static_cast<int>(lines_.size()) && lines_[static_cast<std::size_t>(row)].original.has_value();
}

bool MonthController::deleteLine(int row)
{
    if (!filesOpen() || row < 0 || row >= static_cast<int>(lines_.size()))
        return false;
    SheetLines after = lines_;
    after.erase(after.begin() + row);
    after.emplace_back();
    if (!lineIsStored(row)) {
        pushChange(stepText(SheetStep::DeleteLine), after);
        return false;
    }
    // The stored line leaves the book at once, and the book's balances follow; a line the
    // book no longer holds just leaves the sheet.
    const auto removed = removeStored(*lines_[static_cast<std::size_t>(row)].original);
    if (!removed) {
        pushChange(stepText(SheetStep::DeleteLine), after);
        return false;
    }
    auto change = changeTo(after, std::nullopt);
    undo_->push(new StoredLineDelete(*this, *removed, std::move(change->first), std::move(change->second)));
    return true;
}

QStringList MonthController::typedNames(bool storedOnly) const
{
    QStringList names;
    for (const SheetLine& line : lines_) {
        if (line.hasPayee() && (!storedOnly || line.storable()) && typedNames_.contains(line.payee) && !names.contains(line.payee))
            names << line.payee;
    }
    return names;
}

QStringList MonthController::sheetNames() const
{
    QStringList names;
    for (const SheetLine& line : lines_) {
        if (line.hasPayee() && !names.contains(line.payee))
            names << line.payee;
    }
    return names;
}

QString MonthController::describeLines(const std::vector<int>& rows) const
{
    QStringList named;
    for (int row : rows) {
        const SheetLine& line = lines_[static_cast<std::size_t>(row)];
        named << QStringLiteral("%1行目「%2」").arg(row + 1).arg(line.hasPayee() ? line.payee : QStringLiteral("支払先なし"));
    }
    return named.join(QStringLiteral("、"));
}

std::optional<SaveResult> MonthController::collectWrite(ledger::MonthWrite& write) const
{
    std::vector<int> incomplete;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const SheetLine& line = lines_[i];
        const int place = static_cast<int>(i);
        if (line.storable())
            write.lines.push_back({place + 1, line.date, line.payee, line.scheduled, line.paid, line.original});
        else if (line.hasPayee() || line.hasAmount())
            incomplete.push_back(place);
        else if (line.original)
            write.emptied.push_back(*line.original);
    }
    if (!incomplete.empty())
        return SaveResult{SaveResult::Kind::Incomplete, describeLines(incomplete)};
    SheetLines check = lines_;
    if (const auto overflow = computeSheet(check, carry()).overflowAt)
        return SaveResult{SaveResult::Kind::Overflow, describeLines({*overflow})};
    return std::nullopt;
}

bool MonthController::chooseOffSheet(ledger::MonthWrite& write, const std::function<OffSheetChoice(const std::vector<ledger::StoredLine>&)>& ask)
{
    if (!cleared_ || !ask)
        return true;
    std::vector<ledger::LineKey> keys;
    for (const SheetLine& line : lines_) {
        if (line.original)
            keys.push_back(*line.original);
    }
    std::vector<ledger::StoredLine> offSheet;
    store::skipOnFailure(QStringLiteral("lines off the sheet"), [&] { offSheet = ledger::offSheetLines(session_.mainDb(), month_, keys); });
    if (offSheet.empty())
        return true;
    const OffSheetChoice choice = ask(offSheet);
    write.deleteOffSheet = choice == OffSheetChoice::Delete;
    return choice != OffSheetChoice::Cancel;
}

SaveResult MonthController::save(const std::function<OffSheetChoice(const std::vector<ledger::StoredLine>&)>& askOffSheet,
    const std::function<void(int)>& showProgress)
{
    SaveResult result;
    if (!filesOpen() || !month_.isValid())
        return result;
    ledger::MonthWrite write{.month = month_, .carry = carry()};
    if (auto refused = collectWrite(write))
        return *refused;
    if (!chooseOffSheet(write, askOffSheet))
        return {SaveResult::Kind::Cancelled};

    auto& main = session_.mainDb();
    // The two stretches of the bar meet at kSaveBarLinesDone, shown once.
    int shown = -1;
    const auto showBar = [&](int value) {
        if (value > shown && showProgress)
            showProgress(value);
        shown = std::max(shown, value);
    };
    ledger::ProgressSpan lineBar(showBar, ledger::kSaveBarStart, ledger::kSaveBarLinesDone);
    ledger::ProgressSpan balanceBar(showBar, ledger::kSaveBarLinesDone, ledger::kSaveBarDone);
    try {
        store::Transaction tx(main);
        const ledger::WriteOutcome written = ledger::writeMonth(main, write, &lineBar, &balanceBar);
        const QStringList names = registerPayees && session_.settings.g支払先自動登録 ? typedNames(true) : QStringList();
        if (!names.isEmpty())
            registerPayees(main, names);
        tx.commit();
        result.stored = written.stored;
        // The names registered were offered by the drop-down as they were typed, and the
        // sheet shown anew below has it rebuilt once: the payees need no notice of their own.
        emit session_.changes().monthsChanged(month_);
    } catch (const ledger::OverflowError& e) {
        const QString where = e.date().toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("「%1」").arg(e.payee());
        return {SaveResult::Kind::Overflow, where};
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("save the month"), e);
        result.kind = SaveResult::Kind::Failed;
        result.failure = FileFailure::from(e);
        return result;
    }
    showSaved(result);
    return result;
}

void MonthController::showSaved(SaveResult& result)
{
    // The sheet shows the month as the book now holds it, and the draft becomes that month,
    // registered, at its new version in one write. When the work file refuses it, the draft
    // still names the version before the save: a start then sees that the book has moved on
    // and does not offer the draft's lines as unregistered again.
    try {
        MonthRead read = readMonth();
        result.monthLines = ledger::monthLineCount(session_.mainDb(), month_);
        read.figures = computeSheet(read.lines, read.opening.carry());
        const bool drafted = writeWholeDraft(read.lines, {month_, read.opening.carry(), false, read.version});
        show(std::move(read), drafted);
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("read the month after saving it"), e);
        undo_->setClean();
        setExtraChanges(false);
    }
    writeDraftState();
}

int MonthController::markPaid(const std::vector<LinePayment>& payments, const std::vector<AddedPayment>& added)
{
    if (!filesOpen())
        return 0;
    SheetLines after = lines_;
    int changed = 0;
    for (const LinePayment& payment : payments) {
        if (payment.row < 0 || payment.row >= static_cast<int>(after.size()) || payment.amount == ledger::Amount())
            continue;
        SheetLine& line = after[static_cast<std::size_t>(payment.row)];
        if (!line.hasPayee())
            continue;
        const std::optional<ledger::Amount> paid = line.paid.value_or(ledger::Amount()).plus(payment.amount);
        if (!paid)
            continue;
        line.paid = *paid;
        ++changed;
    }
    const auto lastUsed = std::find_if(after.rbegin(), after.rend(), [](const SheetLine& line) { return line.holdsData(); });
    auto free = lastUsed.base();
    for (const AddedPayment& payment : added) {
        if (free == after.end() || !payment.date.isValid())
            break;
        free->day = calendar::twoDigitDay(payment.date);
        free->date = payment.date;
        free->payee = payment.payee;
        free->scheduled = payment.amount;
        free->paid = payment.amount;
        ++free;
        ++changed;
    }
    if (changed > 0)
        pushChange(stepText(SheetStep::MarkPaid), after);
    return changed;
}

} // namespace schedule
