#pragma once

#include "SheetLine.h"

#include <QAbstractTableModel>
#include <QDate>

#include <functional>
#include <vector>

namespace schedule {

// The tooltip of a line's day on a bank holiday: why banks are closed ("春分の日（銀行休業日）");
// the empty text on a business day.
QString holidayTip(const QDate& date);

// The month's sheet as the grid shows it: one row a line, the columns of SheetColumn.
// Days show two digits, amounts "#,###" (a negative one in red, the whole figure in the
// tooltip), the balance column is computed and never edited. The weekday column shows the
// date's 月…日, Saturdays in blue, Sundays and public holidays in red; the day and weekday
// of a line on a bank holiday are tinted and name the holiday in their tooltip. A value the grid accepts goes
// to `edit` (the month controller), which checks it and answers whether it was taken.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Editor = std::function<bool(int row, int column, const QVariant& value)>;

    SheetModel(const SheetLines& lines, Editor edit, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;

    // The controller changed these lines (or, with none given, the whole sheet).
    void linesChanged(const std::vector<int>& rows);

    // A cell's value as the line holds it (for tests and the page).
    QVariant value(int row, int column) const;

private:
    const SheetLines& lines_;
    Editor edit_;
    QStringList headings_;
};

} // namespace schedule
