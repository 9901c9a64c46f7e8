#include "GridEditing.h"

#include <QLocale>

#include <cmath>

namespace schedule {

std::optional<QDate> composeDay(const QDate& month, const QVariant& dayCell)
{
    if (!month.isValid() || dayCell.isNull())
        return std::nullopt;
    const QString text = dayCell.toString().normalized(QString::NormalizationForm_KC).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool numeric = false;
    const double value = QLocale::c().toDouble(text, &numeric);
    if (!numeric || !std::isfinite(value))
        return std::nullopt;
    const double day = std::round(value);
    if (day < 1 || day > month.daysInMonth())
        return std::nullopt;
    return QDate(month.year(), month.month(), static_cast<int>(day));
}

} // namespace schedule
