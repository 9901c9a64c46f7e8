#include "SheetDraft.h"

#include "Calendar.h"
#include "Prepared.h"
#include "SheetColumns.h"
#include "Transaction.h"

namespace schedule {

namespace {

QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant amountOrNull(const std::optional<ledger::Amount>& amount)
{
    return amount ? QVariant(qlonglong(amount->units())) : QVariant();
}

// Binds a line's fields in the sheet's column order from the first parameter on.
void bindLine(store::Prepared& statement, int first, const SheetLine& line, int place)
{
    statement.bind(first, qint64(place + 1));
    statement.bind(first + 1, line.original ? line.original->lineNumber : line.loadedNumber);
    statement.bind(first + 2, textOrNull(line.day));
    statement.bind(first + 3, line.date.isValid() ? QVariant(calendar::toStoredText(line.date)) : QVariant());
    statement.bind(first + 4, textOrNull(line.payee));
    statement.bind(first + 5, amountOrNull(line.scheduled));
    statement.bind(first + 6, amountOrNull(line.paid));
    statement.bind(first + 7, amountOrNull(line.balance));
    statement.bind(first + 8, line.original ? QVariant(calendar::toStoredText(line.original->date)) : QVariant());
    statement.bind(first + 9, line.original ? QVariant(line.original->payee) : QVariant());
}

const char* const kFields = "行番号, 元行番号, 表示日付, 日付, 支払先名, 予定額, 支払額, 残高, 元日付, 元支払先名";

} // namespace

void SheetDraft::writeAll(const SheetLines& lines)
{
    store::Transaction tx(work_);
    store::Prepared(work_, QStringLiteral("DELETE FROM InpWork")).run();
    store::Prepared insert(work_, QStringLiteral("INSERT INTO InpWork (rowid, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(QString::fromUtf8(kFields)));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        insert.bind(1, qint64(i + 1));
        bindLine(insert, 2, lines[i], static_cast<int>(i));
        insert.run();
    }
    tx.commit();
}

void SheetDraft::writeLines(const SheetLines& lines, const std::vector<int>& places)
{
    if (places.empty())
        return;
    store::Transaction tx(work_);
    store::Prepared update(work_,
        QStringLiteral("UPDATE InpWork SET 行番号 = ?, 元行番号 = ?, 表示日付 = ?, 日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ?, "
                       "元日付 = ?, 元支払先名 = ? WHERE rowid = ?"));
    for (int place : places) {
        bindLine(update, 1, lines[static_cast<std::size_t>(place)], place);
        update.bind(11, qint64(place + 1));
        update.run();
    }
    tx.commit();
}

std::optional<SheetLines> SheetDraft::read()
{
    store::Prepared query(work_, QStringLiteral("SELECT %1 FROM InpWork ORDER BY 行番号, rowid").arg(QString::fromUtf8(kFields)));
    SheetLines lines;
    while (query.next() && static_cast<int>(lines.size()) < kSheetLines) {
        SheetLine& line = lines.emplace_back();
        line.loadedNumber = query.integer(1);
        line.day = query.isBlank(2) ? QString() : query.value(2).toString();
        line.date = query.isBlank(3) ? QDate() : calendar::fromStoredText(query.value(3).toString().left(10));
        line.payee = query.isBlank(4) ? QString() : query.value(4).toString();
        line.scheduled = ledger::amountAt(query, 5);
        line.paid = ledger::amountAt(query, 6);
        if (!query.isBlank(8) && !query.isBlank(9)) {
            const QDate date = calendar::fromStoredText(query.value(8).toString().left(10));
            if (date.isValid())
                line.original = ledger::LineKey{date, query.integer(1), query.value(9).toString()};
        }
    }
    query.reset();
    if (lines.empty())
        return std::nullopt;
    while (static_cast<int>(lines.size()) < kSheetLines)
        lines.emplace_back().loadedNumber = static_cast<qint64>(lines.size());
    return lines;
}

void SheetDraft::writeState(const DraftState& state)
{
    store::Transaction tx(work_);
    store::Prepared(work_, QStringLiteral("DELETE FROM InpWork状態")).run();
    store::Prepared insert(work_, QStringLiteral("INSERT INTO InpWork状態 (年月, 繰越額, 未登録) VALUES (?, ?, ?)"));
    insert.bind(1, state.month.isValid() ? QVariant(calendar::toStoredText(state.month)) : QVariant());
    insert.bind(2, amountOrNull(state.carry));
    insert.bind(3, qint64(state.unsaved ? 1 : 0));
    insert.run();
    tx.commit();
}

DraftState SheetDraft::readState()
{
    store::Prepared query(work_, QStringLiteral("SELECT 年月, 繰越額, 未登録 FROM InpWork状態 LIMIT 1"));
    DraftState state;
    if (query.next()) {
        state.month = calendar::fromStoredText(query.value(0).toString());
        state.carry = ledger::amountAt(query, 1);
        state.unsaved = query.integer(2) != 0;
    }
    query.reset();
    return state;
}

} // namespace schedule
