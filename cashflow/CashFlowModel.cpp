#include "CashFlowModel.h"

#include "EraCalendar.h"
#include "Holidays.h"

#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <algorithm>

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

// The mark of a month with payments on bank holidays: 休 in white on the holiday red.
QPixmap holidayMark()
{
    static const QPixmap mark = [] {
        const int size = 16;
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xD0, 0x20, 0x20));
        painter.drawRoundedRect(QRectF(0, 0, size, size), 3, 3);
        QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
        font.setPixelSize(12);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("休"));
        return pixmap;
    }();
    return mark;
}

} // namespace

QString CashFlowModel::holidayPaymentText(const MonthFlow& month)
{
    if (month.holidayPayments.empty())
        return {};
    QStringList days;
    for (std::size_t i = 0; i < month.holidayPayments.size();) {
        const QDate day = month.holidayPayments[i];
        const auto count = static_cast<qsizetype>(std::count(month.holidayPayments.begin() + static_cast<std::ptrdiff_t>(i), month.holidayPayments.end(), day));
        const QString name = calendar::holidayName(day);
        QString text = QStringLiteral("%1日（%2%3）").arg(day.day()).arg(calendar::weekdayLetter(day), name.isEmpty() ? QString() : QStringLiteral("・") + name);
        if (count > 1)
            text += QStringLiteral(" %1件").arg(count);
        days << text;
        i += static_cast<std::size_t>(count);
    }
    return QStringLiteral("支払予定のうち %1 件が銀行の休業日です：%2").arg(month.holidayPayments.size()).arg(days.join(QStringLiteral("、")));
}

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
    case Qt::DecorationRole:
        if (index.column() == Month && !month.holidayPayments.empty())
            return holidayMark();
        return {};
    case Qt::ToolTipRole:
        if (index.column() == Month)
            return holidayPaymentText(month);
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
