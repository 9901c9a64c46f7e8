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
