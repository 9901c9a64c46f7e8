#include "LineDescription.h"

#include "DayText.h"

namespace messages {

namespace {

QString shownAmount(std::optional<ledger::Amount> amount)
{
    const QString text = amount ? amount->format() : QString();
    return text.isEmpty() ? QStringLiteral("0") : text;
}

} // namespace

QString describeLine(const QString& day, const QString& payee, std::optional<ledger::Amount> scheduled, std::optional<ledger::Amount> paid)
{
    const QString gap = QStringLiteral("　");
    const QString dayText = day.trimmed().isEmpty() ? QStringLiteral("日付なし") : calendar::twoDigitDay(day) + QStringLiteral("日");
    const QString payeeText = payee.trimmed().isEmpty() ? QStringLiteral("支払先なし") : payee;
    return dayText + gap + payeeText + gap + QStringLiteral("予定額 ") + shownAmount(scheduled) + gap + QStringLiteral("支払額 ") + shownAmount(paid);
}

QString describePastedValue(int line, const QString& column, const QString& value, const QString& why)
{
    return QStringLiteral("%1 行目 %2「%3」 %4").arg(line).arg(column.isEmpty() ? QStringLiteral("欄外") : column, value, why);
}

} // namespace messages
