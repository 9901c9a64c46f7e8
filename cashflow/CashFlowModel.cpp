#include "CashFlowModel.h"

#include "EraCalendar.h"

#include <QColor>

namespace cashflow {

namespace {

QString amountText(const std::optional<ledger::Amount>& amount)
{
    if (!amount)
        return QString();
    // The overview shows 0 as 0: a blank would read as a missing figure.
    return amount->isZero() ? QStringLiteral("0") : amount->format();
}

} // namespace

QColor negativeColor()
{
    return QColor(0xD0, 0x20, 0x20);
}

CashFlowModel::CashFlowModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void CashFlowModel::setOverview(Overview overview, bool era)
{
    beginResetModel();
    overview_ = std::move(overview);
    era_ = era;
    endResetModel();
}

QString CashFlowModel::heading(int column)
{
    switch (column) {
    case Month:
        return QStringLiteral("年月");
    case Carry:
        return QStringLiteral("繰越額");
    case Scheduled:
        return QStringLiteral("予定額計");
    case Paid:
        return QStringLiteral("支払額計");
    case Closing:
        return QStringLiteral("月末残高");
    case Lowest:
        return QStringLiteral("最低残高");
    case LowestDay:
        return QStringLiteral("最低日");
    default:
        return QString();
    }
}

QString CashFlowModel::cellText(const MonthFlow& month, int column, bool era)
{
    switch (column) {
    case Month:
        return calendar::formatYearMonth(month.month, era);
    case Carry:
        return amountText(month.繰越額);
    case Scheduled:
        return amountText(month.予定額計);
    case Paid:
        return amountText(month.支払額計);
    case Closing:
        return amountText(month.月末残高);
    case Lowest:
        return amountText(month.最低残高);
    case LowestDay:
        return month.最低残高日.isValid() ? QStringLiteral("%1日").arg(month.最低残高日.day()) : QString();
    default:
        return QString();
    }
}

int CashFlowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(overview_.months.size());
}

int CashFlowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CashFlowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const MonthFlow& month = overview_.months[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(month, index.column(), era_);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == Month ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (month.goesNegative())
            return negativeColor();
        return {};
    case Qt::BackgroundRole:
        if (month.goesNegative())
            return QColor(0xFF, 0xE4, 0xE4);
        return {};
    case Qt::UserRole:
        return month.month;
    default:
        return {};
    }
}

QVariant CashFlowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return heading(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace cashflow
