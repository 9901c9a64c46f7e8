#include "MonthController.h"

#include "Calendar.h"
#include "DayText.h"
#include "MonthVersion.h"
#include "MonthWrite.h"
#include "SaveProgress.h"
#include "Session.h"
#include "SheetColumns.h"
#include "SheetCommands.h"
#include "SheetFigures.h"
#include "SheetModel.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

#include <QUndoStack>

#include <algorithm>

#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

namespace schedule {

FileFailure FileFailure::from(const std::exception& error)
{
    int code = 0;
    if (const auto* db = dynamic_cast<const store::DbError*>(&error))
        code = db->code();
    else if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&error))
        code = engine->getErrorCode();
    FileFailure failure;
    failure.engine = QString::fromUtf8(error.what());
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        failure.kind = Busy;
        break;
    case SQLITE_FULL:
        failure.kind = Full;
        break;
    default:
        failure.kind = Other;
    }
    return failure;
}

MonthController::MonthController(store::Session& session, QObject* parent)
    : QObject(parent)
    , session_(session)
    , draft_(session.workDb())
    , lines_(blankSheet())
    , model_(new SheetModel(lines_, [this](int row, int column, const QVariant& value) { return editCell(row, column, value); }, this))
    , undo_(new QUndoStack(this))
{
    model_->setObjectName(QStringLiteral("datInp"));
    undo_->setUndoLimit(kUndoDepth);
    connect(undo_, &QUndoStack::indexChanged, this, &MonthController::tellModified);
    connect(undo_, &QUndoStack::cleanChanged, this, &MonthController::tellModified);
}

MonthController::~MonthController()
{
    // The commands must not reach the sheet while it goes.
    disconnect(undo_, nullptr, this, nullptr);
}

bool MonthController::filesOpen() const
{
    // After the window has closed the files, a late notification must not reach them.
    return session_.isOpen();
}

void MonthController::setMonth(const QDate& month)
{
    month_ = calendar::firstOfMonth(month);
}

bool MonthController::hasUnsavedChanges() const
{
    if (extraChanges_)
        return true;
    // A step that wrote the book as well as the sheet leaves the two agreeing: only steps of
    // the sheet alone between the registered state and now are unregistered changes.
    const int clean = undo_->cleanIndex();
    if (clean < 0)
        return true;
    for (int i = std::min(clean, undo_->index()); i < std::max(clean, undo_->index()); ++i) {
        if (!dynamic_cast<const StoredLineDelete*>(undo_->command(i)))
            return true;
    }
    return false;
}

void MonthController::setExtraChanges(bool on)
{
    extraChanges_ = on;
    tellModified();
}

void MonthController::tellModified()
{
    if (const bool modified = hasUnsavedChanges(); modified != modifiedShown_)
        emit modifiedChanged(modifiedShown_ = modified);
}

MonthController::MonthRead MonthController::readMonth()
{
    MonthRead read;
    auto& main = session_.mainDb();
    ledger::Book book(main);
    read.lines = blankSheet();
    const std::vector<ledger::StoredLine> stored = ledger::monthLines(main, month_, kSheetLines);
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const ledger::StoredLine& from = stored[i];
        SheetLine& line = read.lines[i];
        line.date = from.date;
        line.day = calendar::twoDigitDay(from.date);
        line.payee = from.payee;
        line.scheduled = from.scheduled;
        line.paid = from.paid;
        line.loadedNumber = from.lineNumber;
        line.original = from.key();
    }
    read.stored = stored.size() < static_cast<std::size_t>(kSheetLines) ? static_cast<int>(stored.size()) : ledger::monthLineCount(main, month_);
    read.opening = book.opening(month_);
    read.cumulative = book.cumulative();
    read.version = ledger::monthVersion(main, month_);
    return read;
}

void MonthController::show(MonthRead read, bool draftWritten)
{
    opening_ = read.opening;
    version_ = read.version;
    figures_.繰越額 = opening_.carry();
    figures_.累計 = read.cumulative;
    cleared_ = false;
    typedNames_.clear();
    undo_->clear();
    undo_->setClean();
    setExtraChanges(false);
    if (!draftWritten || !read.figures) {
        const SheetLines before = lines_;
        lines_ = std::move(read.lines);
        settle(before, !draftWritten);
        emit sheetReplaced();
        return;
    }
    // Computed and written as the draft already: the whole sheet is shown anew.
    lines_ = std::move(read.lines);
    figures_.予定額月計 = read.figures->scheduled;
    figures_.支払額月計 = read.figures->paid;
    model_->linesChanged({0, static_cast<int>(lines_.size()) - 1});
    emit figuresChanged();
    emit sheetReplaced();
}

LoadResult MonthController::load(const std::function<void(int)>& showProgress)
{
    LoadResult result;
    if (!month_.isValid() || !filesOpen())
        return result;
    const auto progress = [&](int value) {
        if (showProgress)
            showProgress(value);
    };
    progress(10);
    MonthRead read;
    try {
        read = readMonth();
        read.figures = computeSheet(read.lines, read.opening.carry());
        progress(30);
        // The draft first: when the work file refuses it, the sheet on screen stays as it was.
        draft_.writeAll(read.lines, {month_, read.opening.carry(), false, read.version});
        setDraftBehind(false);
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("load the month"), e);
        result.failure = FileFailure::from(e);
        progress(100);
        return result;
    }
    progress(90);
    result.loaded = true;
    result.stored = read.stored;
    show(std::move(read), true);
    progress(100);
    return result;
}

void MonthController::clear()
{
    if (!filesOpen())
        return;
    const SheetLines before = lines_;
    lines_ = blankSheet();
    std::optional<ledger::MonthOpening> opening;
    if (month_.isValid())
        store::skipOnFailure(QStringLiteral("the month's opening"), [&] { opening = ledger::Book(session_.mainDb()).opening(month_); });
    opening_ = opening.value_or(ledger::MonthOpening());
    // The totals and the cumulative figure are blank until the sheet is loaded again; the
    // carry-over is the month's, so that a save continues the chain.
    figures_ = {};
    if (opening)
        figures_.繰越額 = opening->carry();
    cleared_ = true;
    typedNames_.clear();
    undo_->clear();
    undo_->setClean();
    setExtraChanges(false);
    settle(before);
    writeDraftState();
    emit sheetReplaced();
}

DraftOutcome MonthController::restoreDraft()
{
    if (!filesOpen())
        return DraftOutcome::None;
    DraftState state;
    std::optional<SheetLines> lines;
    if (!store::skipOnFailure(QStringLiteral("read the draft"), [&] {
            state = draft_.readState();
            if (state.unsaved && state.month.isValid())
                lines = draft_.read();
        })
        || !lines)
        return DraftOutcome::None;
    setMonth(state.month);
    MonthRead read;
    try {
        read = readMonth();
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("read the month of the draft"), e);
        return DraftOutcome::None;
    }
    if (read.version != state.version) {
        qCInfo(lcStore) << "the draft of" << state.month << "began from version" << state.version << "and the book holds version" << read.version;
        return DraftOutcome::Registered;
    }
    read.lines = std::move(*lines);
    show(std::move(read), true);
    const SheetLines shown = lines_;
    figures_.繰越額 = state.carry;
    // Stored lines of the month that the draft does not show were cleared off it.
    cleared_ = std::none_of(lines_.begin(), lines_.end(), [](const SheetLine& line) { return line.original.has_value(); });
    // A name the book does not hold on its line was typed (or pasted) before the restart:
    // it counts as typed since the month was loaded, and is registered with the sheet.
    for (const SheetLine& line : lines_) {
        if (line.hasPayee() && !(line.original && line.original->payee == line.payee) && !typedNames_.contains(line.payee))
            typedNames_ << line.payee;
    }
    settle(shown);
    setExtraChanges(true);
    writeDraftState();
    return DraftOutcome::Restored;
}

void MonthController::settle(const SheetLines& before, bool writeDraft)
{
    const SheetFigures figures = computeSheet(lines_, carry());
    const bool blank = cleared_ && std::none_of(lines_.begin(), lines_.end(), [](const SheetLine& line) { return line.holdsData(); });
    figures_.予定額月計 = blank ? std::nullopt : figures.scheduled;
    figures_.支払額月計 = blank ? std::nullopt : figures.paid;
    std::vector<int> changed;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i >= before.size() || !(before[i] == lines_[i]))
            changed.push_back(static_cast<int>(i));
    }
    if (writeDraft)
        this->writeDraft(changed, false);
    model_->linesChanged(changed);
    emit figuresChanged();
}

DraftState MonthController::draftState() const
{
    return {month_, figures_.繰越額, hasUnsavedChanges(), version_};
}

bool MonthController::writeDraft(const std::vector<int>& changed, bool withState)
{
    if (!filesOpen())
        return false;
    if (draftBehind_)
        return writeWholeDraft(lines_, draftState());
    try {
        draft_.writeLines(lines_, changed);
        if (withState)
            draft_.writeState(draftState());
        return true;
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("write the draft"), e);
        tellDraftFailure(e);
        return false;
    }
}

bool MonthController::writeWholeDraft(const SheetLines& lines, const DraftState& state)
{
    try {
        draft_.writeAll(lines, state);
        setDraftBehind(false);
        return true;
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("write the whole draft"), e);
        tellDraftFailure(e);
        return false;
    }
}

void MonthController::tellDraftFailure(const std::exception& error)
{
    // Told once: the writes after it fail the same way until one goes through.
    if (draftBehind_)
        return;
    setDraftBehind(true);
    const FileFailure failure = FileFailure::from(error);
    emit draftFailed(failure.engine, failure.kind == FileFailure::Busy);
}

void MonthController::setDraftBehind(bool behind)
{
    if (std::exchange(draftBehind_, behind) != behind)
        emit draftBehindChanged(behind);
}

void MonthController::writeDraftState()
{
    writeDraft({}, true);
}

void MonthController::apply(const SheetChange& change)
{
    const SheetLines before = lines_;
    for (const auto& [place, line] : change.lines)
        lines_[static_cast<std::size_t>(place)] = line;
    if (change.carry)
        figures_.繰越額 = *change.carry;
    settle(before);
}

std::optional<std::pair<SheetChange, SheetChange>> MonthController::changeTo(const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry) const
{
    SheetChange before;
    SheetChange next;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        SheetLine was = lines_[i];
        SheetLine will = after[i];
        was.balance.reset();
        will.balance.reset();
        if (was == will)
            continue;
        before.lines.emplace_back(static_cast<int>(i), std::move(was));
        next.lines.emplace_back(static_cast<int>(i), std::move(will));
    }
    if (carry && *carry != figures_.繰越額) {
        before.carry = figures_.繰越額;
        next.carry = *carry;
    }
    if (next.lines.empty() && !next.carry)
        return std::nullopt;
    return std::pair(std::move(before), std::move(next));
}

bool MonthController::pushChange(const QString& text, const SheetLines& after, std::optional<std::optional<ledger::Amount>> carry)
{
    auto change = changeTo(after, carry);
    if (!change)
        return false;
    undo_->push(new SheetCommand(*this, text, std::move(change->first), std::move(change->second)));
    writeDraftState();
    return true;
}

} // namespace schedule
