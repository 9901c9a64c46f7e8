#pragma once

#include "Sql.h"
#include "WorkTable.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

// A data source bound to one table of a work file: the rows in the order they were
// added (rowid order), each with its rowid. The line being edited is kept in a buffer
// until commit() writes it back by rowid; editing another line commits the buffered one
// first. cellAccepted is emitted once a value from the grid is in the buffer and before
// it is written, so that a handler can inspect or change the line and commit it itself.
class WorkTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Text as stored; Amount shown "#,###" (a negative one in red, the full figure in the
    // tooltip for a cell too narrow to show it); Check a tick box; Day a day of the month,
    // a number of one or two digits shown with two ("7" as "07").
    enum class ColumnKind { Text, Amount, Check, Day };

    explicit WorkTableModel(QObject* parent = nullptr);

    // Binds the model to a table ("record source"), read and written through
    // store::WorkTable; call refresh() to read it. No database unbinds it.
    void bind(SQLite::Database* db, const QString& table);
    const QString& table() const { return table_; }

    // Re-reads the table; a buffered edit that was not committed is dropped. When the
    // table holds the same lines as before, only the changed values are announced.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Column set-up.
    void setHeading(int column, const QString& heading);
    void setAlignment(int column, Qt::Alignment alignment);
    void setColumnKind(int column, ColumnKind kind);
    // Offers one empty line after the last row; a value typed into it appends a row.
    void setAppendLine(bool on);

    int fieldIndex(const QString& name) const;
    int storedRowCount() const { return static_cast<int>(rows_.size()); }

    // The value of a line as the grid holds it (buffered edits included).
    QVariant value(int row, int column) const;
    // Puts a value into the line's buffer without raising cellAccepted.
    void setValue(int row, int column, const QVariant& value);

    // Writes the buffered line by its rowid; throws DbError, keeping the buffer.
    void commit();
    bool hasPending() const { return pendingRow_ >= 0; }
    int pendingRow() const { return pendingRow_; }
    // Drops the buffered edit.
    void discardPending();

    // Deletes the line from the table and from the model; throws DbError.
    void removeLine(int row);
    // Shows rows the caller has just added to the table (rowid and values), each at its
    // place in rowid order, without reading the table again: a few announced row by row,
    // more merged in one pass and announced as a reset.
    void insertStoredRows(std::vector<std::pair<qint64, store::Row>> added);
    qint64 rowId(int row) const;

signals:
    void cellAccepted(int row, int column);
    // Text typed into an amount cell that is no amount (or past the largest one): the
    // cell keeps its value.
    void amountRefused(int row, int column, const QString& text);

private:
    struct Line {
        qint64 rowId = 0;
        store::Row values;
    };
    void beginPending(int row);
    void appendStoredLine();
    void insertStoredRow(qint64 rowId, store::Row values);
    bool isAppendLine(int row) const { return appendLine_ && row == static_cast<int>(rows_.size()); }

    std::unique_ptr<store::WorkTable> source_;
    QString table_;
    QStringList fields_;
    std::vector<Line> rows_;
    int pendingRow_ = -1;
    store::Row pendingOriginal_;
    std::vector<bool> pendingChanged_;
    QHash<int, QString> headings_;
    QHash<int, Qt::Alignment> alignments_;
    QHash<int, ColumnKind> kinds_;
    bool appendLine_ = false;
};

