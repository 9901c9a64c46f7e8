#pragma once

#include "PayeeTable.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>
#include <utility>
#include <vector>

class QUndoStack;

namespace payees {

class CopyCommand;
class PayeesRemovedCommand;

// The payee page's copy of the master as an item model: a tick column and the name column,
// a line per stored line of the copy and one empty line after them for a new name. Every
// edit is one step of the model's undo stack, written to the copy at once through the
// payee table: a typed name or tick, a new line, lines deleted, a paste, クリア, and the
// deletion of the ticked payees from the master (with their bank details and rules).
// A name is kept without the blanks around it; one that checkPayeeName refuses is not
// taken (nameRefused tells why).
class PayeeModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kTickColumn = 0;
    static constexpr int kNameColumn = 1;

    explicit PayeeModel(ledger::PayeeTable& table, QObject* parent = nullptr);
    ~PayeeModel() override;

    QUndoStack* history() const { return history_; }
    ledger::PayeeTable& table() const { return table_; }

    // Reads the copy again; the history starts afresh (after 読込, 登録 or 削除).
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role = Qt::EditRole) override;

    // The stored lines (without the empty line after them).
    int storedRowCount() const { return static_cast<int>(lines_.size()); }
    // The name on a stored line (the empty text for none or another line).
    QString name(int row) const;
    bool ticked(int row) const;

    // One step each; each answers whether it was written (a failure is logged).
    bool removeLines(const std::vector<int>& rows);
    bool clear();
    // Names (already checked) onto lines by row, rows past the stored ones into new lines
    // after the last, as one step.
    bool pasteNames(const std::vector<std::pair<int, QString>>& names);
    // Deletes the ticked names from the master with their details and rules, and the
    // ticked lines, as one step; answers whether it was done (else nothing changed).
    bool removeTickedPayees();

signals:
    void nameRefused(const QString& name, const QString& why);
    // An undo or redo could not be written: the model shows the copy as stored and the
    // history starts afresh.
    void historyFailed();

private:
    friend class CopyCommand;
    friend class PayeesRemovedCommand;

    // The mutators, for the commands only.
    ledger::PayeeCopyChanged apply(const ledger::PayeeCopyChange& change);
    ledger::RemovedPayees removeTicked();
    void putBack(const ledger::RemovedPayees& removed);
    // Runs a command's write; a failure is logged and, outside a push, reported.
    bool attempt(const char* what, const std::function<void()>& write);

    bool setLine(int row, bool ticked, const QVariant& name);
    bool push(CopyCommand* command);
    int rowOf(qint64 rowId) const;
    void takeLines(const std::vector<ledger::PayeeCopyLine>& taken);
    void putLines(const std::vector<ledger::PayeeCopyLine>& put);

    ledger::PayeeTable& table_;
    QUndoStack* history_;
    std::vector<ledger::PayeeCopyLine> lines_;
    QHash<int, QString> headings_;
    bool pushing_ = false;
    bool failed_ = false;
};

} // namespace payees
