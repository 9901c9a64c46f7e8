#include "CellEntry.h"

#include "DayText.h"

#include "GridEditing.h"
#include "SheetColumns.h"
#include "SheetPaste.h"

namespace schedule {

namespace {

std::optional<CellRefusal> enterAmount(std::optional<ledger::Amount>& amount, const QString& text)
{
    const ledger::TypedAmount typed = ledger::Amount::fromTyped(amountAsTyped(text));
    if (typed.refusal) {
        switch (*typed.refusal) {
        case ledger::AmountRefusal::OutOfRange:
            return CellRefusal::OutOfRange;
        case ledger::AmountRefusal::Fraction:
            return CellRefusal::Fraction;
        case ledger::AmountRefusal::NotAnAmount:
            return CellRefusal::NotAnAmount;
        }
    }
    amount = typed.value.value_or(ledger::Amount());
    return std::nullopt;
}

} // namespace

QString trimmedName(const QString& name)
{
    qsizetype start = 0;
    qsizetype end = name.size();
    const auto blank = [](QChar c) { return c.isSpace() || c == QChar(0x3000); };
    while (start < end && blank(name.at(start)))
        ++start;
    while (end > start && blank(name.at(end - 1)))
        --end;
    return name.mid(start, end - start);
}

std::optional<CellRefusal> enterValue(SheetLine& line, int column, const QString& text, const QDate& month, const NameCheck& checkName)
{
    switch (column) {
    case kCol予定額:
        return enterAmount(line.scheduled, text);
    case kCol支払額:
        return enterAmount(line.paid, text);
    case kCol残高:
    case kCol曜日:
        return CellRefusal::Computed;
    case kCol支払先名: {
        const QString name = trimmedName(text);
        if (checkName && !name.isEmpty() && checkName(name))
            return CellRefusal::BadName;
        line.payee = name;
        return std::nullopt;
    }
    case kCol表示日付: {
        if (text.trimmed().isEmpty()) {
            line.day.clear();
            line.date = QDate();
            return std::nullopt;
        }
        const std::optional<QDate> date = composeDay(month, text);
        if (!date)
            return CellRefusal::NoSuchDay;
        line.date = *date;
        line.day = calendar::twoDigitDay(*date);
        return std::nullopt;
    }
    default:
        return CellRefusal::PastTheSheet;
    }
}

} // namespace schedule
