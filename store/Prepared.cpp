#include "Prepared.h"

#include <SQLiteCpp/Column.h>
#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

namespace store {

Prepared::Prepared(SQLite::Database& db, const QString& sql)
    : db_(db)
    , sql_(sql)
{
    try {
        statement_ = std::make_unique<SQLite::Statement>(db, sql.toStdString());
    } catch (const SQLite::Exception& e) {
        throw DbError(sql_, QString::fromUtf8(e.what()), e.getErrorCode());
    }
}

Prepared::~Prepared() = default;

void Prepared::fail(int code, const char* message)
{
    // Leave the statement ready for the next line after a refused one.
    statement_->tryReset();
    statement_->clearBindings();
    fresh_ = true;
    throw DbError(sql_, QString::fromUtf8(message), code == -1 ? sqlite3_errcode(db_.getHandle()) : code);
}

void Prepared::reset()
{
    statement_->tryReset();
    statement_->clearBindings();
    fresh_ = true;
}

void Prepared::bind(int index, const QVariant& value)
{
    if (!fresh_)
        reset();
    try {
        bindValue(*statement_, index, value);
    } catch (const SQLite::Exception& e) {
        fail(e.getErrorCode(), e.what());
    }
}

void Prepared::bind(int index, qint64 value)
{
    if (!fresh_)
        reset();
    try {
        statement_->bind(index, static_cast<int64_t>(value));
    } catch (const SQLite::Exception& e) {
        fail(e.getErrorCode(), e.what());
    }
}

void Prepared::bindText(int index, const QString& value)
{
    if (!fresh_)
        reset();
    // Held until the next bind: the engine reads it where it lies.
    textHold_ = value.toStdString();
    try {
        statement_->bindNoCopy(index, textHold_);
    } catch (const SQLite::Exception& e) {
        fail(e.getErrorCode(), e.what());
    }
}

int Prepared::run()
{
    try {
        fresh_ = false;
        const int changed = statement_->exec();
        reset();
        return changed;
    } catch (const SQLite::Exception& e) {
        fail(e.getErrorCode(), e.what());
    }
}

bool Prepared::next()
{
    try {
        fresh_ = false;
        return statement_->executeStep();
    } catch (const SQLite::Exception& e) {
        fail(e.getErrorCode(), e.what());
    }
}

int Prepared::exec(const QVariantList& values)
{
    reset();
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
    return run();
}

qint64 Prepared::integer(int column) const
{
    return statement_->getColumn(column).getInt64();
}

std::optional<Amount> Prepared::amount(int column) const
{
    const SQLite::Column value = statement_->getColumn(column);
    switch (value.getType()) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return Amount::fromUnits(value.getInt64());
    default:
        return Amount::fromVariant(columnValue(value));
    }
}

QString Prepared::text(int column) const
{
    const SQLite::Column value = statement_->getColumn(column);
    return QString::fromUtf8(static_cast<const char*>(value.getBlob()), value.getBytes());
}

bool Prepared::isBlank(int column) const
{
    const SQLite::Column value = statement_->getColumn(column);
    switch (value.getType()) {
    case SQLITE_NULL:
        return true;
    case SQLITE_TEXT:
        return value.getBytes() == 0;
    default:
        return false;
    }
}

} // namespace store
