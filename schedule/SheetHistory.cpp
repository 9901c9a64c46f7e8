#include "SheetHistory.h"

#include "Prepared.h"
#include "SheetColumns.h"
#include "Transaction.h"

#include <QStringList>

namespace schedule {

namespace {

QString fieldList()
{
    QStringList fields;
    for (int column = kCol行番号; column <= kCol元支払先名; ++column)
        fields << store::quoteIdentifier(sheetField(column));
    return fields.join(QStringLiteral(", "));
}

} // namespace

SheetState readSheetState(SQLite::Database& work, std::optional<store::Amount> carry)
{
    SheetState state;
    state.lines = store::queryRows(work, QStringLiteral("SELECT rowid, %1 FROM InpWork ORDER BY rowid").arg(fieldList()));
    state.carry = carry;
    return state;
}

void restoreSheetState(SQLite::Database& work, const SheetState& state)
{
    store::Transaction tx(work);
    // Every statement must go through: a refusal throws and the guard puts the sheet back.
    store::exec(work, QStringLiteral("DELETE FROM InpWork"));
    QStringList marks(kCol元支払先名 + 2, QStringLiteral("?"));
    store::Prepared insert(work, QStringLiteral("INSERT INTO InpWork (rowid, %1) VALUES (%2)").arg(fieldList(), marks.join(QStringLiteral(", "))));
    for (const store::Row& line : state.lines) {
        for (std::size_t i = 0; i < line.size(); ++i)
            insert.bind(static_cast<int>(i) + 1, line[i]);
        insert.run();
    }
    tx.commit();
}

void SheetHistory::restart(SheetState current, bool clean)
{
    current_ = std::move(current);
    clean_ = clean ? std::optional<SheetState>(current_) : std::nullopt;
    undo_.clear();
    redo_.clear();
}

void SheetHistory::record(SheetState after)
{
    if (after == current_)
        return;
    undo_.push_back(std::move(current_));
    if (undo_.size() > kDepth)
        undo_.erase(undo_.begin());
    current_ = std::move(after);
    redo_.clear();
}

std::optional<SheetState> SheetHistory::undo()
{
    if (undo_.empty())
        return std::nullopt;
    redo_.push_back(std::move(current_));
    current_ = std::move(undo_.back());
    undo_.pop_back();
    return current_;
}

std::optional<SheetState> SheetHistory::redo()
{
    if (redo_.empty())
        return std::nullopt;
    undo_.push_back(std::move(current_));
    current_ = std::move(redo_.back());
    redo_.pop_back();
    return current_;
}

} // namespace schedule
