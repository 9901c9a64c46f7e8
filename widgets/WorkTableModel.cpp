#include "WorkTableModel.h"

#include "Amount.h"
#include "AmountColor.h"
#include "DayText.h"

#include <algorithm>

using namespace store;
using ledger::Amount;
using ledger::formatAmount;

namespace {

// Negative amounts are shown in red, the ledger's convention.
QVariant amountForeground(const QVariant& raw)
{
    if (raw.typeId() == QMetaType::QString)
        return {};
    const auto amount = Amount::fromVariant(raw);
    return amount && amount->units() < 0 ? QVariant(negativeAmountColor()) : QVariant();
}

} // namespace

WorkTableModel::WorkTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void WorkTableModel::bind(SQLite::Database* db, const QString& table)
{
    beginResetModel();
    source_ = db ? std::make_unique<WorkTable>(*db, table) : nullptr;
    table_ = table;
    fields_.clear();
    rows_.clear();
    pendingRow_ = -1;
    if (source_)
        fields_ = source_->fields();
    endResetModel();
}

void WorkTableModel::refresh()
{
    if (!source_)
        return;
    std::vector<Line> lines;
    for (auto& [rowId, values] : source_->lines())
        lines.push_back(Line{rowId, std::move(values)});
    pendingRow_ = -1;
    const bool sameLines = std::equal(lines.begin(), lines.end(), rows_.begin(), rows_.end(),
        [](const Line& a, const Line& b) { return a.rowId == b.rowId; });
    if (!sameLines) {
        beginResetModel();
        rows_ = std::move(lines);
        endResetModel();
        return;
    }
    // The same lines: only changed values are announced, so that the views keep their
    // current cell and an open editor.
    for (size_t i = 0; i < lines.size(); ++i) {
        if (rows_[i].values == lines[i].values)
            continue;
        rows_[i].values = std::move(lines[i].values);
        const int row = static_cast<int>(i);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

int WorkTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(rows_.size()) + (appendLine_ ? 1 : 0);
}

int WorkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant WorkTableModel::value(int row, int column) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= fields_.size())
        return {};
    return rows_[static_cast<size_t>(row)].values[static_cast<size_t>(column)];
}

QVariant WorkTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    const ColumnKind kind = kinds_.value(column, ColumnKind::Text);
    const QVariant raw = value(index.row(), column);
    switch (role) {
    case Qt::DisplayRole:
        if (kind == ColumnKind::Check)
            return {};
        if (kind == ColumnKind::Amount)
            return raw.typeId() == QMetaType::QString ? raw : QVariant(formatAmount(raw));
        if (kind == ColumnKind::Day && !raw.isNull())
            return calendar::twoDigitDay(raw.toString());
        return raw;
    case Qt::ForegroundRole:
        return kind == ColumnKind::Amount ? amountForeground(raw) : QVariant();
    case Qt::ToolTipRole:
        return kind == ColumnKind::Amount && raw.typeId() != QMetaType::QString ? QVariant(formatAmount(raw)) : QVariant();
    case Qt::EditRole:
        if (kind == ColumnKind::Amount) {
            const auto amount = Amount::fromVariant(raw);
            return amount && !amount->isZero() ? QVariant(amount->toExactString()) : QVariant(QString());
        }
        return raw;
    case Qt::CheckStateRole:
        if (kind == ColumnKind::Check)
            return raw.toLongLong() != 0 ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        if (alignments_.contains(column))
            return QVariant::fromValue(alignments_.value(column) | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

void WorkTableModel::appendStoredLine()
{
    const int row = static_cast<int>(rows_.size());
    auto [rowId, read] = source_->append();
    beginInsertRows({}, row + 1, row + 1);
    rows_.push_back(Line{rowId, read.empty() ? Row(static_cast<size_t>(fields_.size())) : std::move(read)});
    endInsertRows();
}

bool WorkTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !source_)
        return false;
    const int row = index.row();
    const int column = index.column();
    const ColumnKind kind = kinds_.value(column, ColumnKind::Text);
    QVariant stored = value;
    if (role == Qt::CheckStateRole && kind == ColumnKind::Check) {
        stored = QVariant(qlonglong(value.toInt() == Qt::Checked ? 1 : 0));
    } else if (role != Qt::EditRole) {
        return false;
    } else if (kind == ColumnKind::Text && value.typeId() == QMetaType::QString && value.toString().isEmpty()) {
        stored = QVariant(); // an emptied text cell holds nothing, like a line never filled
    } else if (kind == ColumnKind::Amount) {
        const QString text = value.toString();
        if (!text.trimmed().isEmpty()) {
            const auto amount = Amount::parse(text);
            if (!amount) {
                emit amountRefused(row, column, text); // the old value stays
                return false;
            }
            stored = amount->toVariant();
        } else {
            stored = QString();
        }
    }
    try {
        if (isAppendLine(row)) {
            if (stored.toString().isEmpty() && kind != ColumnKind::Check)
                return false;
            if (hasPending())
                commit();
            appendStoredLine();
        }
        setValue(row, column, stored);
    } catch (const DbError& e) {
        qCWarning(lcStore).noquote() << "grid edit refused:" << e.what();
        return false;
    }
    emit cellAccepted(row, column);
    return true;
}

Qt::ItemFlags WorkTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (kinds_.value(index.column(), ColumnKind::Text) == ColumnKind::Check)
        return flags | Qt::ItemIsUserCheckable;
    return flags | Qt::ItemIsEditable;
}

QVariant WorkTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole)
            return headings_.contains(section) ? headings_.value(section) : fields_.value(section);
        return {};
    }
    if (role == Qt::DisplayRole)
        return section + 1;
    return {};
}

void WorkTableModel::setHeading(int column, const QString& heading)
{
    headings_.insert(column, heading);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void WorkTableModel::setAlignment(int column, Qt::Alignment alignment)
{
    alignments_.insert(column, alignment);
}

void WorkTableModel::setColumnKind(int column, ColumnKind kind)
{
    kinds_.insert(column, kind);
}

void WorkTableModel::setAppendLine(bool on)
{
    beginResetModel();
    appendLine_ = on;
    endResetModel();
}

int WorkTableModel::fieldIndex(const QString& name) const
{
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void WorkTableModel::beginPending(int row)
{
    if (pendingRow_ == row)
        return;
    if (pendingRow_ >= 0)
        commit();
    pendingRow_ = row;
    pendingOriginal_ = rows_[static_cast<size_t>(row)].values;
    pendingChanged_.assign(static_cast<size_t>(fields_.size()), false);
}

void WorkTableModel::setValue(int row, int column, const QVariant& newValue)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= fields_.size())
        throw DbError(table_, QStringLiteral("no such cell"), 0);
    beginPending(row);
    rows_[static_cast<size_t>(row)].values[static_cast<size_t>(column)] = newValue;
    pendingChanged_[static_cast<size_t>(column)] = true;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed);
}

void WorkTableModel::commit()
{
    if (pendingRow_ < 0 || !source_)
        return;
    const Line& line = rows_[static_cast<size_t>(pendingRow_)];
    QStringList changed;
    QVariantList values;
    for (int c = 0; c < fields_.size(); ++c) {
        if (!pendingChanged_[static_cast<size_t>(c)])
            continue;
        changed << fields_.at(c);
        values << line.values[static_cast<size_t>(c)];
    }
    source_->write(line.rowId, changed, values);
    pendingRow_ = -1;
}

void WorkTableModel::discardPending()
{
    if (pendingRow_ < 0)
        return;
    const int row = pendingRow_;
    rows_[static_cast<size_t>(row)].values = pendingOriginal_;
    pendingRow_ = -1;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void WorkTableModel::removeLine(int row)
{
    if (!source_ || row < 0 || row >= static_cast<int>(rows_.size()))
        throw DbError(table_, QStringLiteral("no such line"), 0);
    if (pendingRow_ == row)
        pendingRow_ = -1;
    else if (pendingRow_ >= 0)
        commit();
    source_->remove(rows_[static_cast<size_t>(row)].rowId);
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void WorkTableModel::insertStoredRow(qint64 rowId, Row values)
{
    const auto place = std::lower_bound(rows_.begin(), rows_.end(), rowId, [](const Line& line, qint64 id) { return line.rowId < id; });
    const int row = static_cast<int>(place - rows_.begin());
    beginInsertRows({}, row, row);
    rows_.insert(place, Line{rowId, std::move(values)});
    if (pendingRow_ >= row)
        ++pendingRow_;
    endInsertRows();
}

void WorkTableModel::insertStoredRows(std::vector<std::pair<qint64, Row>> added)
{
    // Each row inserted alone moves every row after it: past a few, one pass is cheaper.
    constexpr std::size_t kOneByOne = 8;
    std::sort(added.begin(), added.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (added.size() <= kOneByOne) {
        for (auto& [rowId, values] : added)
            insertStoredRow(rowId, std::move(values));
        return;
    }
    beginResetModel();
    std::vector<Line> merged;
    merged.reserve(rows_.size() + added.size());
    auto next = added.begin();
    int pending = -1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        for (; next != added.end() && next->first < rows_[i].rowId; ++next)
            merged.push_back(Line{next->first, std::move(next->second)});
        if (static_cast<int>(i) == pendingRow_)
            pending = static_cast<int>(merged.size());
        merged.push_back(std::move(rows_[i]));
    }
    for (; next != added.end(); ++next)
        merged.push_back(Line{next->first, std::move(next->second)});
    rows_ = std::move(merged);
    pendingRow_ = pending;
    endResetModel();
}

qint64 WorkTableModel::rowId(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return -1;
    return rows_[static_cast<size_t>(row)].rowId;
}

