#pragma once

#include "Sql.h"

#include <QHash>
#include <QStringList>
#include <optional>

namespace store {

// An updatable set of rows of one table: read into memory at once with each row's rowid,
// walked with moveFirst/moveNext, changed with edit/addNew + setField + update, which
// write back by rowid or insert. The statement is finished before any write.
class RowSet {
public:
    // SELECT rowid, * FROM table <tail>; the tail holds the where and order-by clauses
    // with '?' for each bound value.
    RowSet(SQLite::Database& db, const QString& table, const QString& tail = {}, const QVariantList& values = {});

    bool bof() const { return position_ < 0 || rows_.empty(); }
    bool eof() const { return position_ >= static_cast<int>(rows_.size()) || rows_.empty(); }
    bool isEmpty() const { return rows_.empty(); }
    int count() const { return static_cast<int>(rows_.size()); }

    void moveFirst();
    void moveNext();

    QVariant field(const QString& name) const;
    qint64 rowId() const;

    void edit();
    void addNew();
    void setField(const QString& name, const QVariant& value);
    void update();
    void close();

private:
    int columnIndex(const QString& name) const;
    void requireCurrent() const;

    SQLite::Database* db_;
    QString table_;
    QStringList columns_;
    QHash<QString, int> index_;
    std::vector<qint64> rowIds_;
    std::vector<Row> rows_;
    int position_ = 0;
    enum class Mode { None, Edit, Add } mode_ = Mode::None;
    std::vector<std::pair<int, QVariant>> pending_;
};

} // namespace store
