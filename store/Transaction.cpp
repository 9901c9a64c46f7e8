#include "Transaction.h"

#include "Skip.h"

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

#include <atomic>

namespace store {

namespace {
std::atomic<int> savepointCounter{0};

bool inTransaction(SQLite::Database& db)
{
    return sqlite3_get_autocommit(db.getHandle()) == 0;
}
} // namespace

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

bool Transaction::step(const QString& what, const std::function<void()>& body)
{
    const QString savepoint = QStringLiteral("step%1").arg(++savepointCounter);
    try {
        exec(db_, QStringLiteral("SAVEPOINT ") + savepoint);
    } catch (const DbError& e) {
        logSkipped(what, e);
        return false;
    }
    try {
        body();
        exec(db_, QStringLiteral("RELEASE ") + savepoint);
        return true;
    } catch (const DbError& e) {
        logSkipped(what, e);
    } catch (const std::exception& e) {
        logSkipped(what, e);
    }
    try {
        if (inTransaction(db_)) {
            exec(db_, QStringLiteral("ROLLBACK TO ") + savepoint);
            exec(db_, QStringLiteral("RELEASE ") + savepoint);
        }
    } catch (const DbError& e) {
        logSkipped(what, e);
    }
    return false;
}

void Transaction::commit()
{
    if (!open_)
        return;
    try {
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
        if (nested_) {
            exec(db_, QStringLiteral("ROLLBACK TO ") + name_);
            exec(db_, QStringLiteral("RELEASE ") + name_);
        } else if (inTransaction(db_)) {
            exec(db_, QStringLiteral("ROLLBACK"));
        }
    } catch (const DbError& e) {
        logSkipped(QStringLiteral("rollback"), e);
    }
}

} // namespace store
