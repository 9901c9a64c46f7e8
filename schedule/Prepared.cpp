#include "Prepared.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

namespace schedule {

Prepared::Prepared(SQLite::Database& db, const QString& sql)
    : db_(db)
    , sql_(sql)
{
    try {
        statement_ = std::make_unique<SQLite::Statement>(db, sql.toStdString());
    } catch (const SQLite::Exception& e) {
        throw store::DbError(sql_, QString::fromUtf8(e.what()), e.getErrorCode());
    }
}

Prepared::~Prepared() = default;

int Prepared::exec(const QVariantList& values)
{
    try {
        statement_->tryReset();
        statement_->clearBindings();
        store::bindAll(*statement_, values);
        const int changed = statement_->exec();
        statement_->tryReset();
        return changed;
    } catch (const SQLite::Exception& e) {
        const int code = e.getErrorCode();
        // Leave the statement ready for the next line after a refused one.
        statement_->tryReset();
        throw store::DbError(sql_, QString::fromUtf8(e.what()), code == -1 ? sqlite3_errcode(db_.getHandle()) : code);
    }
}

bool inTransaction(SQLite::Database& db)
{
    return sqlite3_get_autocommit(db.getHandle()) == 0;
}

} // namespace schedule
