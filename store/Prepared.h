#pragma once

#include "Amount.h"
#include "Sql.h"

#include <memory>
#include <string>
#include <optional>

namespace store {

// One statement prepared once and run many times with fresh bound values, for the loops
// that read or write a line at a time (the sheet reset, the month copy, the balance runs).
// Failures throw DbError naming the statement.
class Prepared {
public:
    Prepared(SQLite::Database& db, const QString& sql);
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    // Binds the values and runs the statement to its end; returns the changed rows.
    int exec(const QVariantList& values);

    // The same in parts, without building a list: bind (1-based), then run() for a
    // statement that writes, or next() row by row for a query.
    void bind(int index, const QVariant& value);
    void bind(int index, qint64 value);
    // Text, converted to UTF-8 once and not copied again (the loops that write many
    // names); one such value at a time.
    void bindText(int index, const QString& value);
    int run();
    bool next();
    // Columns of the current row (0-based).
    qint64 integer(int column) const;
    // An amount column: null gives nothing, an integer is ten-thousandths, anything else
    // is read as the stored value would be (Amount::fromVariant).
    std::optional<Amount> amount(int column) const;
    // Whether a text column is null or the empty text.
    bool isBlank(int column) const;
    // A text column as UTF-8 decoded (the empty text for null).
    QString text(int column) const;
    // Finishes the query and makes the statement ready for new values.
    void reset();

private:
    [[noreturn]] void fail(int code, const char* message);

    SQLite::Database& db_;
    QString sql_;
    std::unique_ptr<SQLite::Statement> statement_;
    bool fresh_ = true;
    std::string textHold_;
};

} // namespace store
