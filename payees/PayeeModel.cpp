#include "PayeeModel.h"

#include "PayeeCommands.h"
#include "PayeeName.h"
#include "Skip.h"

#include <QUndoStack>

#include <algorithm>

namespace payees {

namespace {

// The payee page keeps this many steps; the oldest go first.
constexpr int kUndoDepth = 100;

bool byRowId(const ledger::PayeeCopyLine& a, const ledger::PayeeCopyLine& b)
{
    return a.rowId < b.rowId;
}

} // namespace

PayeeModel::PayeeModel(ledger::PayeeTable& table, QObject* parent)
    : QAbstractTableModel(parent)
    , table_(table)
    , history_(new QUndoStack(this))
{
    history_->setUndoLimit(kUndoDepth);
}

PayeeModel::~PayeeModel()
{
    // The history's last word as it goes reaches no one: its listeners may be gone already.
    history_->blockSignals(true);
}

void PayeeModel::reload()
{
    std::vector<ledger::PayeeCopyLine> lines;
    store::skipOnFailure(QStringLiteral("read the payee copy"), [&] { lines = table_.copyLines(); });
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
    history_->clear();
}

int PayeeModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : storedRowCount() + 1;
}

int PayeeModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QString PayeeModel::name(int row) const
{
    return row >= 0 && row < storedRowCount() ? lines_[static_cast<size_t>(row)].name.toString() : QString();
}

bool PayeeModel::ticked(int row) const
{
    return row >= 0 && row < storedRowCount() && lines_[static_cast<size_t>(row)].ticked;
}

QVariant PayeeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.column() == kTickColumn)
        return role == Qt::CheckStateRole ? QVariant(ticked(index.row()) ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return index.row() < storedRowCount() ? lines_[static_cast<size_t>(index.row())].name : QVariant();
}

bool PayeeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    const int row = index.row();
    if (index.column() == kTickColumn) {
        if (role != Qt::CheckStateRole)
            return false;
        return setLine(row, value.toInt() == Qt::Checked, row < storedRowCount() ? lines_[static_cast<size_t>(row)].name : QVariant());
    }
    if (role != Qt::EditRole)
        return false;
    const QString name = normalizePayeeName(value.toString());
    if (const auto refusal = checkPayeeName(name)) {
        emit nameRefused(name, refusal->text());
        return false;
    }
    return setLine(row, ticked(row), name.isEmpty() ? QVariant() : QVariant(name));
}

// A value on a stored line is one step; on the empty line after them it makes a new line.
bool PayeeModel::setLine(int row, bool tick, const QVariant& name)
{
    if (row < 0 || row > storedRowCount())
        return false;
    ledger::PayeeCopyChange forward;
    ledger::PayeeCopyChange backward;
    if (row == storedRowCount()) {
        if (name.isNull() && !tick)
            return false;
        forward.put.push_back({0, tick, name, false, {}});
        return push(new CopyCommand(*this, stepText(PayeeStep::AddLine), std::move(forward), std::move(backward)));
    }
    const ledger::PayeeCopyLine& before = lines_[static_cast<size_t>(row)];
    if (before.ticked == tick && before.name == name)
        return true;
    ledger::PayeeCopyLine after = before;
    after.ticked = tick;
    after.name = name;
    backward.write.push_back(before);
    forward.write.push_back(after);
    return push(new CopyCommand(*this, stepText(PayeeStep::TypedValue), std::move(forward), std::move(backward)));
}

bool PayeeModel::removeLines(const std::vector<int>& rows)
{
    ledger::PayeeCopyChange forward;
    for (const int row : rows) {
        if (row >= 0 && row < storedRowCount())
            forward.take.push_back(lines_[static_cast<size_t>(row)].rowId);
    }
    if (forward.take.empty())
        return true;
    return push(new CopyCommand(*this, stepText(PayeeStep::DeleteLine), std::move(forward), {}));
}

bool PayeeModel::clear()
{
    ledger::PayeeCopyChange forward;
    for (const ledger::PayeeCopyLine& line : lines_)
        forward.take.push_back(line.rowId);
    if (forward.take.empty())
        return true;
    return push(new CopyCommand(*this, stepText(PayeeStep::Clear), std::move(forward), {}));
}

bool PayeeModel::pasteNames(const std::vector<std::pair<int, QString>>& names)
{
    ledger::PayeeCopyChange forward;
    ledger::PayeeCopyChange backward;
    for (const auto& [row, name] : names) {
        if (row >= storedRowCount()) {
            forward.put.push_back({0, false, name, false, {}});
            continue;
        }
        const ledger::PayeeCopyLine& before = lines_[static_cast<size_t>(row)];
        ledger::PayeeCopyLine after = before;
        after.name = name;
        backward.write.push_back(before);
        forward.write.push_back(after);
    }
    return push(new CopyCommand(*this, stepText(PayeeStep::Paste), std::move(forward), std::move(backward)));
}

bool PayeeModel::removeTickedPayees()
{
    pushing_ = true;
    failed_ = false;
    history_->push(new PayeesRemovedCommand(*this));
    pushing_ = false;
    return !failed_;
}

bool PayeeModel::push(CopyCommand* command)
{
    pushing_ = true;
    failed_ = false;
    history_->push(command);
    pushing_ = false;
    return !failed_;
}

bool PayeeModel::attempt(const char* what, const std::function<void()>& write)
{
    if (store::skipOnFailure(QString::fromUtf8(what), write))
        return true;
    failed_ = true;
    if (!pushing_)
        emit historyFailed();
    return false;
}

ledger::PayeeCopyChanged PayeeModel::apply(const ledger::PayeeCopyChange& change)
{
    ledger::PayeeCopyChanged changed = table_.changeCopy(change);
    for (const ledger::PayeeCopyLine& line : change.write) {
        const int row = rowOf(line.rowId);
        if (row < 0)
            continue;
        lines_[static_cast<size_t>(row)].ticked = line.ticked;
        lines_[static_cast<size_t>(row)].name = line.name;
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
    takeLines(changed.taken);
    putLines(changed.put);
    return changed;
}

ledger::RemovedPayees PayeeModel::removeTicked()
{
    ledger::RemovedPayees removed = table_.removeTicked();
    takeLines(removed.copy);
    return removed;
}

void PayeeModel::putBack(const ledger::RemovedPayees& removed)
{
    table_.putBack(removed);
    // The lines went back where their rowids were free: they are read as stored.
    std::vector<ledger::PayeeCopyLine> stored = table_.copyLines();
    std::vector<ledger::PayeeCopyLine> back;
    std::copy_if(stored.begin(), stored.end(), std::back_inserter(back), [this](const ledger::PayeeCopyLine& line) { return rowOf(line.rowId) < 0; });
    putLines(back);
}

int PayeeModel::rowOf(qint64 rowId) const
{
    const auto found = std::lower_bound(lines_.begin(), lines_.end(), ledger::PayeeCopyLine{rowId, false, {}, false, {}}, byRowId);
    return found != lines_.end() && found->rowId == rowId ? static_cast<int>(found - lines_.begin()) : -1;
}

void PayeeModel::takeLines(const std::vector<ledger::PayeeCopyLine>& taken)
{
    if (!taken.empty() && taken.size() == lines_.size()) {
        // Every line (クリア): one reset instead of a removal each.
        beginResetModel();
        lines_.clear();
        endResetModel();
        return;
    }
    for (const ledger::PayeeCopyLine& line : taken) {
        const int row = rowOf(line.rowId);
        if (row < 0)
            continue;
        beginRemoveRows({}, row, row);
        lines_.erase(lines_.begin() + row);
        endRemoveRows();
    }
}

void PayeeModel::putLines(const std::vector<ledger::PayeeCopyLine>& put)
{
    for (const ledger::PayeeCopyLine& line : put) {
        const auto at = std::lower_bound(lines_.begin(), lines_.end(), line, byRowId);
        const int row = static_cast<int>(at - lines_.begin());
        beginInsertRows({}, row, row);
        lines_.insert(at, line);
        endInsertRows();
    }
}

Qt::ItemFlags PayeeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return flags | (index.column() == kTickColumn ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

QVariant PayeeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (headings_.contains(section))
        return headings_.value(section);
    return section == kTickColumn ? QStringLiteral("チェック") : QStringLiteral("支払先名");
}

bool PayeeModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::EditRole)
        return false;
    headings_.insert(section, value.toString());
    emit headerDataChanged(orientation, section, section);
    return true;
}

} // namespace payees
