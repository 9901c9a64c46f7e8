#include "SheetDraft.h"

#include "Calendar.h"
#include "Prepared.h"
#include "SheetColumns.h"
#include "Transaction.h"

namespace schedule {

namespace {

void bindText(store::Prepared& statement, int index, const QString& text)
{
    if (text.isEmpty())
        statement.bindNull(index);
    else
        statement.bind(index, text);
}

void bindDate(store::Prepared& statement, int index, const QDate& date)
{
    char text[10];
    if (calendar::toStoredBytes(date, text))
        statement.bindUtf8(index, QByteArrayView(text, 10));
    else
        statement.bindNull(index);
}

// Binds a line's fields in the sheet's column order from the first parameter on.
void bindLine(store::Prepared& statement, int first, const SheetLine& line, int place)
{
    statement.bind(first, qint64(place + 1));
    statement.bind(first + 1, line.original ? line.original->lineNumber : line.loadedNumber);
    bindText(statement, first + 2, line.day);
    bindDate(statement, first + 3, line.date);
    bindText(statement, first + 4, line.payee);
    bindAmount(statement, first + 5, line.scheduled);
    bindAmount(statement, first + 6, line.paid);
    bindAmount(statement, first + 7, line.balance);
    bindDate(statement, first + 8, line.original ? line.original->date : QDate());
    if (line.original)
        statement.bind(first + 9, line.original->payee);
    else
        statement.bindNull(first + 9);
}

const char* const kFields = "行番号, 元行番号, 表示日付, 日付, 支払先名, 予定額, 支払額, 残高, 元日付, 元支払先名";

} // namespace

void SheetDraft::writeAll(const SheetLines& lines, const DraftState& state)
{
    store::Transaction tx(work_);
    writeState(state);
    store::Prepared(work_, QStringLiteral("DELETE FROM InpWork")).run();
    auto insertUse = store::Prepared::reuse(work_, QStringLiteral("INSERT INTO InpWork (rowid, %1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)").arg(QString::fromUtf8(kFields)));
    store::Prepared& insert = *insertUse;
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
    auto updateUse = store::Prepared::reuse(work_,
        QStringLiteral("UPDATE InpWork SET 行番号 = ?, 元行番号 = ?, 表示日付 = ?, 日付 = ?, 支払先名 = ?, 予定額 = ?, 支払額 = ?, 残高 = ?, "
                       "元日付 = ?, 元支払先名 = ? WHERE rowid = ?"));
    store::Prepared& update = *updateUse;
    for (int place : places) {
        bindLine(update, 1, lines[static_cast<std::size_t>(place)], place);
        update.bind(11, qint64(place + 1));
        update.run();
    }
    tx.commit();
}

std::optional<SheetLines> SheetDraft::read()
{
    auto queryUse = store::Prepared::reuse(work_, QStringLiteral("SELECT %1 FROM InpWork ORDER BY 行番号, rowid").arg(QString::fromUtf8(kFields)));
    store::Prepared& query = *queryUse;
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
    auto insertUse = store::Prepared::reuse(work_, QStringLiteral("INSERT INTO InpWork状態 (年月, 繰越額, 未登録) VALUES (?, ?, ?)"));
    store::Prepared& insert = *insertUse;
    insert.bind(1, state.month.isValid() ? QVariant(calendar::toStoredText(state.month)) : QVariant());
    bindAmount(insert, 2, state.carry);
    insert.bind(3, qint64(state.unsaved ? 1 : 0));
    insert.run();
    store::Prepared(work_, QStringLiteral("DELETE FROM InpWork基準")).run();
    auto baseUse = store::Prepared::reuse(work_, QStringLiteral("INSERT INTO InpWork基準 (年月, 版) VALUES (?, ?)"));
    baseUse->bind(1, state.month.isValid() ? QVariant(calendar::toStoredText(state.month)) : QVariant());
    baseUse->bind(2, state.version);
    baseUse->run();
    tx.commit();
}

DraftState SheetDraft::readState()
{
    auto queryUse = store::Prepared::reuse(work_, QStringLiteral("SELECT 年月, 繰越額, 未登録 FROM InpWork状態 LIMIT 1"));
    store::Prepared& query = *queryUse;
    DraftState state;
    if (query.next()) {
        state.month = calendar::fromStoredText(query.value(0).toString());
        state.carry = ledger::amountAt(query, 1);
        state.unsaved = query.integer(2) != 0;
    }
    query.reset();
    // A draft of an earlier version has no base: it began from the month as the book holds
    // it before versions were kept (0).
    auto baseUse = store::Prepared::reuse(work_, QStringLiteral("SELECT 年月, 版 FROM InpWork基準 LIMIT 1"));
    if (baseUse->next() && calendar::fromStoredText(baseUse->value(0).toString()) == state.month)
        state.version = baseUse->integer(1);
    return state;
}

} // namespace schedule
