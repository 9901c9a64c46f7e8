#include "Transaction.h"

#include "Prepared.h"
#include "Skip.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

#include <atomic>

namespace store {

namespace {
std::atomic<int> savepointCounter{0};
} // namespace

bool inTransaction(SQLite::Database& db)
{
    return sqlite3_get_autocommit(db.getHandle()) == 0;
}

bool isFileFailure(int code)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_NOMEM:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return true;
    default:
        return false;
    }
}

Transaction::Transaction(SQLite::Database& db)
    : db_(db)
{
    nested_ = inTransaction(db_);
    if (nested_) {
        name_ = QStringLiteral("tx%1").arg(++savepointCounter);
        exec(db_, QStringLiteral("SAVEPOINT ") + name_);
    } else {
        exec(db_, QStringLiteral("BEGIN"));
    }
    open_ = true;
}

Transaction::~Transaction()
{
    if (open_)
        rollback();
}

void Transaction::requireOpen(const QString& what) const
{
    if (!inTransaction(db_))
        throw DbError(what, QStringLiteral("the transaction ended"), SQLITE_ABORT);
}

void Transaction::skipped(const QString& what, const std::exception& error, int code)
{
    logSkipped(what, error);
    if (isFileFailure(code))
        throw DbError(what, QString::fromUtf8(error.what()), code);
    requireOpen(what);
}

bool Transaction::attempt(const QString& what, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const DbError& e) {
        skipped(what, e, e.code());
    } catch (const SQLite::Exception& e) {
        skipped(what, e, e.getErrorCode());
    } catch (const std::exception& e) {
        skipped(what, e, SQLITE_OK);
    }
    return false;
}

bool Transaction::step(const QString& what, const std::function<void()>& body, Step kind)
{
    requireOpen(what);
    if (kind == Step::OneStatement)
        return attempt(what, body);
    if (!stepBegin_) {
        stepBegin_ = std::make_unique<Prepared>(db_, QStringLiteral("SAVEPOINT step"));
        stepRelease_ = std::make_unique<Prepared>(db_, QStringLiteral("RELEASE step"));
        stepRollback_ = std::make_unique<Prepared>(db_, QStringLiteral("ROLLBACK TO step"));
    }
    stepBegin_->run();
    if (attempt(what, [&] {
            body();
            stepRelease_->run();
        }))
        return true;
    // Only the step is undone; the command goes on.
    stepRollback_->run();
    stepRelease_->run();
    return false;
}

void Transaction::commit()
{
    if (!open_)
        return;
    try {
        requireOpen(QStringLiteral("commit"));
        exec(db_, nested_ ? QStringLiteral("RELEASE ") + name_ : QStringLiteral("COMMIT"));
        open_ = false;
    } catch (const DbError&) {
        rollback();
        throw;
    }
}

void Transaction::rollback() noexcept
{
    if (!open_)
        return;
    open_ = false;
    try {
        if (!inTransaction(db_))
            return;
        if (nested_) {
            exec(db_, QStringLiteral("ROLLBACK TO ") + name_);
            exec(db_, QStringLiteral("RELEASE ") + name_);
        } else {
            exec(db_, QStringLiteral("ROLLBACK"));
        }
    } catch (const DbError& e) {
        logSkipped(QStringLiteral("rollback"), e);
    }
}

} // namespace store
