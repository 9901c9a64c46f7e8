#include "MonthController.h"

#include "Calendar.h"
#include "DayText.h"
#include "MonthVersion.h"
#include "MonthWrite.h"
#include "PayeeList.h"
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


namespace schedule {

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
    registerPayees = [](SQLite::Database& main, const QStringList& names) { payees::addPayees(main, names); };
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

} // namespace schedule
