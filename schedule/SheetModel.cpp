#include "SheetModel.h"

#include "AmountColor.h"
#include "BusinessDays.h"
#include "DayColor.h"
#include "Calendar.h"
#include "DayText.h"
#include "SheetColumns.h"

#include <QColor>

#include <algorithm>

namespace schedule {

namespace {

QVariant amountValue(const std::optional<ledger::Amount>& amount)
{
    return amount ? QVariant(qlonglong(amount->units())) : QVariant();
}

const std::optional<ledger::Amount>* amountOf(const SheetLine& line, int column)
{
    switch (column) {
    case kCol予定額:
        return &line.scheduled;
    case kCol支払額:
        return &line.paid;
    case kCol残高:
        return &line.balance;
    default:
        return nullptr;
    }
}

} // namespace

QString holidayTip(const QDate& date)
{
    const QString reason = bankHolidayReason(date);
    if (reason.isEmpty())
        return {};
    // A public holiday is named; every bank holiday says that banks are closed.
    return QStringLiteral("%1（銀行休業日）").arg(reason);
}

SheetModel::SheetModel(const SheetLines& lines, Editor edit, QObject* parent)
    : QAbstractTableModel(parent)
    , lines_(lines)
    , edit_(std::move(edit))
{
    for (int column = kCol行番号; column <= kCol元支払先名; ++column)
        headings_ << sheetField(column);
    headings_ << QStringLiteral("曜日");
}

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kCol曜日 + 1;
}

QVariant SheetModel::value(int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(lines_.size()))
        return {};
    const SheetLine& line = lines_[static_cast<std::size_t>(row)];
    switch (column) {
    case kCol行番号:
        return qlonglong(row + 1);
    case kCol元行番号:
        return qlonglong(line.original ? line.original->lineNumber : line.loadedNumber);
    case kCol表示日付:
        return line.day.isEmpty() ? QVariant() : QVariant(line.day);
    case kCol日付:
        return line.date.isValid() ? QVariant(calendar::toStoredText(line.date)) : QVariant();
    case kCol支払先名:
        return line.payee.isEmpty() ? QVariant() : QVariant(line.payee);
    case kCol予定額:
    case kCol支払額:
    case kCol残高:
        return amountValue(*amountOf(line, column));
    case kCol元日付:
        return line.original ? QVariant(calendar::toStoredText(line.original->date)) : QVariant();
    case kCol元支払先名:
        return line.original ? QVariant(line.original->payee) : QVariant();
    case kCol曜日:
        return line.date.isValid() ? QVariant(calendar::weekdayLetter(line.date)) : QVariant();
    default:
        return {};
    }
}

QVariant SheetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(lines_.size()))
        return {};
    const int column = index.column();
    const SheetLine& line = lines_[static_cast<std::size_t>(index.row())];
    const auto* amount = amountOf(line, column);
    switch (role) {
    case Qt::DisplayRole:
        if (amount)
            return *amount ? (*amount)->format() : QString();
        if (column == kCol表示日付)
            return calendar::twoDigitDay(line.day);
        return value(index.row(), column);
    case Qt::EditRole:
        if (amount)
            return *amount && !(*amount)->isZero() ? (*amount)->toExactString() : QString();
        return value(index.row(), column);
    case Qt::ForegroundRole:
        if (amount && *amount && (*amount)->units() < 0)
            return negativeAmountColor();
        if (const QColor weekday = weekdayColor(line.date); column == kCol曜日 && weekday.isValid())
            return weekday;
        return {};
    case Qt::BackgroundRole:
        if ((column == kCol表示日付 || column == kCol曜日) && calendar::isBankHoliday(line.date))
            return bankHolidayTint();
        return {};
    case Qt::ToolTipRole:
        if (amount)
            return *amount ? (*amount)->format() : QString();
        if (column == kCol曜日 || column == kCol表示日付)
            return holidayTip(line.date);
        return {};
    case Qt::TextAlignmentRole:
        if (amount)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (column == kCol表示日付 || column == kCol曜日)
            return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !edit_)
        return false;
    return edit_(index.row(), index.column(), value);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const int column = index.column();
    const bool typed = column == kCol表示日付 || column == kCol支払先名 || column == kCol予定額 || column == kCol支払額;
    return typed ? flags | Qt::ItemIsEditable : flags;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headings_.value(section);
    return section + 1;
}

bool SheetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole || section < 0 || section >= headings_.size())
        return false;
    headings_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void SheetModel::linesChanged(const std::vector<int>& rows)
{
    // One notice for the stretch from the first changed line to the last.
    if (rows.empty())
        return;
    const auto [first, last] = std::minmax_element(rows.begin(), rows.end());
    emit dataChanged(index(*first, 0), index(*last, columnCount() - 1));
}

} // namespace schedule
