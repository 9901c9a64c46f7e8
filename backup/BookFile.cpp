#include "BookFile.h"

#include "Schema.h"
#include "Sql.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

namespace backup {

namespace {

std::unique_ptr<SQLite::Database> openReadOnly(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw store::DbError(QStringLiteral("open"), QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)), SQLITE_CANTOPEN);
    try {
        return std::make_unique<SQLite::Database>(QFile::encodeName(path).toStdString(), SQLite::OPEN_READONLY);
    } catch (const SQLite::Exception& e) {
        throw store::DbError(QStringLiteral("open"), QString::fromUtf8(e.what()), e.getErrorCode());
    }
}

void checkBook(SQLite::Database& db, bool engineCheck)
{
    // A file is a book only when every table of the main file is there with its columns.
    for (const store::TableLayout& table : store::requiredTables(store::DataFile::Main)) {
        QStringList columns;
        for (const QString& column : table.columns)
            columns << store::quoteIdentifier(column);
        store::queryRows(db, QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + store::quoteIdentifier(table.name) + QStringLiteral(" LIMIT 0"));
    }
    if (!engineCheck)
        return;
    const auto problems = store::queryRows(db, QStringLiteral("PRAGMA integrity_check(1)"));
    if (problems.empty() || problems.front().at(0).toString() != QStringLiteral("ok"))
        throw store::DbError(QStringLiteral("PRAGMA integrity_check"),
            problems.empty() ? QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) : problems.front().at(0).toString(), SQLITE_CORRUPT);
}

} // namespace

std::optional<QString> checkBookFile(const QString& path)
{
    try {
        auto db = openReadOnly(path);
        checkBook(*db, true);
    } catch (const store::DbError& e) {
        return e.engineMessage();
    }
    return std::nullopt;
}

std::optional<ledger::ChainBreak> chainBreakOf(const QString& path)
{
    try {
        auto db = openReadOnly(path);
        return ledger::findChainBreak(*db);
    } catch (const store::DbError&) {
        return std::nullopt;
    }
}

std::optional<BookSummary> summarizeBookFile(const QString& path)
{
    try {
        auto db = openReadOnly(path);
        checkBook(*db, false);
        return ledger::Book(*db).summary();
    } catch (const store::DbError&) {
        return std::nullopt;
    }
}

} // namespace backup
