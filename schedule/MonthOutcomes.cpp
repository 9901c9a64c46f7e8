#include "MonthOutcomes.h"

#include "Sql.h"

#include <SQLiteCpp/Exception.h>

#include <sqlite3.h>

namespace schedule {

FileFailure FileFailure::from(const std::exception& error)
{
    int code = 0;
    if (const auto* db = dynamic_cast<const store::DbError*>(&error))
        code = db->code();
    else if (const auto* engine = dynamic_cast<const SQLite::Exception*>(&error))
        code = engine->getErrorCode();
    FileFailure failure;
    failure.engine = QString::fromUtf8(error.what());
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        failure.kind = Busy;
        break;
    case SQLITE_FULL:
        failure.kind = Full;
        break;
    default:
        failure.kind = Other;
    }
    return failure;
}

} // namespace schedule
