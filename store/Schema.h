#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace SQLite {
class Database;
}

namespace store {

// The schema text compiled into the program (store/schema.sql).
const char* schemaText();

enum class DataFile { Main, Work };

// The statements that create one of the two files, later additions included.
QString schemaSql(DataFile file);

// The statements added after the first release; each says IF NOT EXISTS.
QString addedSchemaSql(DataFile file);

// Brings a file (a schema of the connection: "main" or an attached one) up to date by
// creating what it lacks of the later additions. Throws DbError.
void upgradeDataFile(SQLite::Database& db, DataFile file, const QString& schema = QStringLiteral("main"));

struct TableLayout {
    QString name;
    QStringList columns;
};

// Every table a file must hold, with its columns in order: the tables of the first
// release, which every file of the book has had.
std::vector<TableLayout> requiredTables(DataFile file);

// Name of the schema under which the work connection attaches the main file.
inline constexpr const char* kAttachedMain = "mainfile";

// A table of the main file as the work connection names it ("mainfile.<table>").
inline QString attachedMainTable(const QString& table)
{
    return QString::fromUtf8(kAttachedMain) + QLatin1Char('.') + table;
}

} // namespace store
