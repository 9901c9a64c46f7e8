#include "SheetLine.h"

#include "SheetColumns.h"

namespace schedule {

namespace {
bool nonZero(const std::optional<ledger::Amount>& amount)
{
    return amount && !amount->isZero();
}
} // namespace

bool SheetLine::hasAmount() const
{
    return nonZero(scheduled) || nonZero(paid);
}

bool SheetLine::holdsData() const
{
    return hasPayee() || date.isValid() || !day.isEmpty() || hasAmount() || original.has_value();
}

SheetLines blankSheet()
{
    SheetLines lines(kSheetLines);
    for (int i = 0; i < kSheetLines; ++i)
        lines[static_cast<std::size_t>(i)].loadedNumber = i + 1;
    return lines;
}

} // namespace schedule
