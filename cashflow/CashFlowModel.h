#pragma once

#include "Overview.h"

#include <QAbstractTableModel>

namespace cashflow {

// The overview's figures come from the ledger.
using ledger::BalancePoint;
using ledger::MonthFlow;
using ledger::Overview;

// The overview's months as table rows: 年月, 繰越額, 予定額計, 支払額計, 月末残高, 最低残高
// and its day. A month whose lowest balance is below zero shows in red; a month with
// scheduled payments on bank holidays carries the mark 休 beside its 年月, and its tooltip
// names the days.
class CashFlowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Month, Carry, Scheduled, Paid, Closing, Lowest, LowestDay, ColumnCount };

    explicit CashFlowModel(QObject* parent = nullptr);

    void setOverview(Overview overview, bool era);
    const Overview& overview() const { return overview_; }
    bool era() const { return era_; }

    // The text of one cell as the table shows it, also used for the printed table.
    static QString cellText(const MonthFlow& month, int column, bool era);
    static QString heading(int column);
    // "支払予定のうち 2 件が銀行の休業日です：3日（日）、6日（水・振替休日）"; empty for a
    // month without such payments.
    static QString holidayPaymentText(const MonthFlow& month);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    Overview overview_;
    bool era_ = false;
};

// The colours of the overview: the red of a month below zero and of the negative balance.
QColor negativeColor();

} // namespace cashflow
