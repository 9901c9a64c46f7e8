#include "RowSet.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace store {

RowSet::RowSet(SQLite::Database& db, const QString& table, const QString& tail, const QVariantList& values)
    : db_(&db)
    , table_(table)
{
    const QString sql = QStringLiteral("SELECT rowid, * FROM ") + quoteIdentifier(table) + (tail.isEmpty() ? QString() : QStringLiteral(" ") + tail);
    try {
        SQLite::Statement statement(db, sql.toStdString());
        bindAll(statement, values);
        const int count = statement.getColumnCount();
        for (int c = 1; c < count; ++c) {
            const QString name = QString::fromUtf8(statement.getColumnName(c));
            index_.insert(name.toCaseFolded(), c - 1);
            columns_ << name;
        }
        while (statement.executeStep()) {
            rowIds_.push_back(statement.getColumn(0).getInt64());
            Row row;
            row.reserve(static_cast<size_t>(count - 1));
            for (int c = 1; c < count; ++c)
                row.push_back(columnValue(statement.getColumn(c)));
            rows_.push_back(std::move(row));
        }
    } catch (const SQLite::Exception& e) {
        throw DbError(sql, QString::fromUtf8(e.what()), e.getErrorCode());
    }
}

void RowSet::moveFirst()
{
    position_ = 0;
    mode_ = Mode::None;
    pending_.clear();
}

void RowSet::moveNext()
{
    if (eof())
        throw DbError(table_, QStringLiteral("no current row"), 0);
    ++position_;
    mode_ = Mode::None;
    pending_.clear();
}

int RowSet::columnIndex(const QString& name) const
{
    const auto it = index_.constFind(name.toCaseFolded());
    if (it == index_.constEnd())
        throw DbError(table_, QStringLiteral("no field ") + name, 0);
    return it.value();
}

void RowSet::requireCurrent() const
{
    if (bof() || eof())
        throw DbError(table_, QStringLiteral("no current row"), 0);
}

QVariant RowSet::field(const QString& name) const
{
    const int column = columnIndex(name);
    requireCurrent();
    return rows_[static_cast<size_t>(position_)][static_cast<size_t>(column)];
}

qint64 RowSet::rowId() const
{
    requireCurrent();
    return rowIds_[static_cast<size_t>(position_)];
}

void RowSet::edit()
{
    requireCurrent();
    mode_ = Mode::Edit;
    pending_.clear();
}

void RowSet::addNew()
{
    mode_ = Mode::Add;
    pending_.clear();
}

void RowSet::setField(const QString& name, const QVariant& value)
{
    if (mode_ == Mode::None)
        throw DbError(table_, QStringLiteral("setField without edit or addNew"), 0);
    const int column = columnIndex(name);
    for (auto& [index, pendingValue] : pending_) {
        if (index == column) {
            pendingValue = value;
            return;
        }
    }
    pending_.emplace_back(column, value);
}

void RowSet::update()
{
    if (mode_ == Mode::None)
        throw DbError(table_, QStringLiteral("update without edit or addNew"), 0);
    QVariantList values;
    QString sql;
    if (mode_ == Mode::Edit) {
        QStringList sets;
        for (const auto& [index, value] : pending_) {
            sets << quoteIdentifier(columns_.at(index)) + QStringLiteral(" = ?");
            values << value;
        }
        if (!sets.isEmpty()) {
            sql = QStringLiteral("UPDATE ") + quoteIdentifier(table_) + QStringLiteral(" SET ") + sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE rowid = ?");
            values << rowIds_[static_cast<size_t>(position_)];
            exec(*db_, sql, values);
            auto& row = rows_[static_cast<size_t>(position_)];
            for (const auto& [index, value] : pending_)
                row[static_cast<size_t>(index)] = value;
        }
    } else {
        QStringList names;
        QStringList marks;
        for (const auto& [index, value] : pending_) {
            names << quoteIdentifier(columns_.at(index));
            marks << QStringLiteral("?");
            values << value;
        }
        sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO ") + quoteIdentifier(table_) + QStringLiteral(" DEFAULT VALUES")
            : QStringLiteral("INSERT INTO ") + quoteIdentifier(table_) + QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(")");
        exec(*db_, sql, values);
    }
    mode_ = Mode::None;
    pending_.clear();
}

void RowSet::close()
{
    rows_.clear();
    rowIds_.clear();
    position_ = 0;
    mode_ = Mode::None;
    pending_.clear();
}

} // namespace store
