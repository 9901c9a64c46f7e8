#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <stdexcept>
#include <vector>

namespace SQLite {
class Database;
} // namespace SQLite

Q_DECLARE_LOGGING_CATEGORY(lcStore)

namespace store {

// A statement that the engine refused, with the statement's text and the engine's words.
class DbError : public std::runtime_error {
public:
    DbError(QString statement, QString engineMessage, int code);
    const QString& statement() const { return statement_; }
    const QString& engineMessage() const { return engineMessage_; }
    int code() const { return code_; }

private:
    QString statement_;
    QString engineMessage_;
    int code_;
};

using Row = std::vector<QVariant>;

// Runs one statement with bound values; returns the number of changed rows.
int exec(SQLite::Database& db, const QString& sql, const QVariantList& values = {});
// Runs a query and reads every row into memory, finishing the statement.
std::vector<Row> queryRows(SQLite::Database& db, const QString& sql, const QVariantList& values = {});
// First column of the first row, or null when there is no row.
QVariant scalar(SQLite::Database& db, const QString& sql, const QVariantList& values = {});

// Quotes an identifier for a statement ("name" with inner quotes doubled).
QString quoteIdentifier(const QString& name);

} // namespace store
