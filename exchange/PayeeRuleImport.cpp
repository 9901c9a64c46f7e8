#include "PayeeRuleImport.h"

#include "CsvExport.h"
#include "PayeeImport.h"

#include <QSet>

namespace exchange {

ListedRules rulesFromText(const QString& text, bool csv)
{
    ListedRules listed;
    if (!csv)
        return listed;
    QList<QStringList> records = csvRecords(text);
    if (records.isEmpty())
        return listed;
    const QStringList heading = records.takeFirst();
    const qsizetype nameAt = heading.indexOf(QStringLiteral("支払先名"));
    const qsizetype dayAt = heading.indexOf(QStringLiteral("支払日"));
    const qsizetype shiftAt = heading.indexOf(QStringLiteral("休日"));
    if (nameAt < 0 || (dayAt < 0 && shiftAt < 0))
        return listed;
    QSet<QString> named;
    for (const QStringList& record : records) {
        const QString name = csvFieldText(record.value(nameAt));
        if (name.trimmed().isEmpty() || named.contains(name))
            continue;
        const QString day = dayAt >= 0 ? record.value(dayAt).trimmed() : QString();
        const QString shift = shiftAt >= 0 ? record.value(shiftAt).trimmed() : QString();
        ledger::PaymentRule rule;
        if (!day.isEmpty() && !(rule.day = ledger::usualDayFromText(day)))
            listed.unreadable << QStringLiteral("「%1」の支払日「%2」").arg(name, day);
        if (!shift.isEmpty() && !(rule.shift = ledger::shiftFromText(shift)))
            listed.unreadable << QStringLiteral("「%1」の休日「%2」").arg(name, shift);
        if (rule.isEmpty())
            continue;
        named.insert(name);
        listed.rules.emplace_back(name, rule);
    }
    return listed;
}

} // namespace exchange
