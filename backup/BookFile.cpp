#include "BookFile.h"

#include "Schema.h"
#include "Sql.h"

#include <QFile>
#include <QFileInfo>

#include <SQLiteCpp/Backup.h>
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

// Every table the program makes, with its columns, those added since the first release
// included.
std::vector<store::TableLayout> everyTable()
{
    SQLite::Database memory(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    memory.exec(store::schemaSql(store::DataFile::Main).toStdString());
    std::vector<store::TableLayout> tables;
    for (const auto& row : store::queryRows(memory, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"))) {
        store::TableLayout layout{row.at(0).toString(), {}};
        for (const auto& column : store::queryRows(memory, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {layout.name}))
            layout.columns << column.at(0).toString();
        tables.push_back(layout);
    }
    return tables;
}

// Names in backquotes: the engine takes a name in double quotes that names no column for a
// text, so that a missing column would pass unseen.
QString backquoted(const QString& name)
{
    return QLatin1Char('`') + QString(name).replace(QLatin1Char('`'), QStringLiteral("``")) + QLatin1Char('`');
}

// Every table with each of its columns; the engine names the first that is missing.
void checkColumns(SQLite::Database& db, const std::vector<store::TableLayout>& tables)
{
    for (const store::TableLayout& table : tables) {
        QStringList columns;
        for (const QString& column : table.columns)
            columns << backquoted(column);
        store::queryRows(db, QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + backquoted(table.name) + QStringLiteral(" LIMIT 0"));
    }
}

// A restore brings a book of an earlier version up to date (store::upgradeDataFile) once
// it has been copied in. Done first on a copy in memory, that must go through and leave
// every table of the program with all its columns, or the restore would fail half-way or
// leave a book the pages cannot read; the engine's words say what stands in the way.
void checkUpToDate(SQLite::Database& db)
{
    try {
        SQLite::Database copy(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        SQLite::Backup job(copy, "main", db, "main");
        if (const int rc = job.executeStep(-1); rc != SQLITE_DONE)
            throw SQLite::Exception(sqlite3_errstr(rc), rc);
        store::upgradeDataFile(copy, store::DataFile::Main);
        checkColumns(copy, everyTable());
    } catch (const SQLite::Exception& e) {
        throw store::DbError(QStringLiteral("upgrade"), QString::fromUtf8(e.what()), e.getErrorCode());
    }
}

void checkBook(SQLite::Database& db, bool engineCheck)
{
    // A file is a book only when every table of the main file is there with its columns.
    checkColumns(db, store::requiredTables(store::DataFile::Main));
    if (!engineCheck)
        return;
    const auto problems = store::queryRows(db, QStringLiteral("PRAGMA integrity_check(1)"));
    if (problems.empty() || problems.front().at(0).toString() != QStringLiteral("ok"))
        throw store::DbError(QStringLiteral("PRAGMA integrity_check"),
            problems.empty() ? QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) : problems.front().at(0).toString(), SQLITE_CORRUPT);
    checkUpToDate(db);
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
