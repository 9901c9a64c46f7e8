#include "Statement.h"

namespace statement {

QString ReadError::text() const
{
    const QString place = record > 0 ? QStringLiteral("%1 件目のレコード").arg(record) : QStringLiteral("ファイル");
    if (field.isEmpty())
        return QStringLiteral("%1: %2").arg(place, reason);
    return QStringLiteral("%1の「%2」: %3").arg(place, field, reason);
}

} // namespace statement

#include <QHash>

namespace statement {

std::vector<QString> lineKeys(const Statement& statement)
{
    std::vector<QString> keys;
    keys.reserve(statement.lines.size());
    QHash<QString, int> seen;
    for (const StatementLine& line : statement.lines) {
        const QString day = line.date.toString(Qt::ISODate);
        if (!line.reference.isEmpty()) {
            keys.push_back(QStringLiteral("R|%1|%2|%3").arg(line.account, day, line.reference));
            continue;
        }
        const QString contents = QStringLiteral("C|%1|%2|%3|%4|%5")
                                     .arg(day, line.direction == Direction::Withdrawal ? QStringLiteral("出") : QStringLiteral("入"))
                                     .arg(line.yen)
                                     .arg(line.name, line.memo);
        keys.push_back(contents + u'|' + QString::number(++seen[contents]));
    }
    return keys;
}

} // namespace statement
