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

SaveProgress::SaveProgress(qint64 lineCount)
    : count_(lineCount)
{
    // count / 9 to the nearest whole number; a whole count divided by 9 never ends in
    // exactly one half, so the half-to-even rule has nothing to decide.
    const qint64 step = lineCount > 0 ? (lineCount * 2 + 9) / 18 : 0;
    step_ = step <= 0 ? 1 : step;
}

int SaveProgress::advance(qint64 position)
{
    if (count_ == 0)
        return percent_;
    if (percent_ < 100 && position % step_ == 0)
        percent_ = std::min(100, percent_ + 10);
    return percent_;
}

} // namespace schedule
