#include "Schema.h"

#include "Sql.h"
#include "Transaction.h"

#include <SQLiteCpp/Database.h>

#include <QRegularExpression>

namespace store {

namespace {

// The text between the marker line "-- @<name>" and the next marker (or the end).
QString section(const QString& name)
{
    const QString all = QString::fromUtf8(schemaText());
    const QString marker = QStringLiteral("\n-- @") + name + QLatin1Char('\n');
    const qsizetype at = all.indexOf(marker);
    if (at < 0)
        return {};
    const qsizetype start = at + marker.size();
    const qsizetype next = all.indexOf(QStringLiteral("\n-- @"), start);
    return all.mid(start, next < 0 ? -1 : next - start + 1);
}

QString baseName(DataFile file)
{
    return file == DataFile::Main ? QStringLiteral("main") : QStringLiteral("work");
}

} // namespace

QString addedSchemaSql(DataFile file)
{
    return section(baseName(file) + QStringLiteral("-added"));
}

QString schemaSql(DataFile file)
{
    return section(baseName(file)) + addedSchemaSql(file);
}

void upgradeDataFile(SQLite::Database& db, DataFile file, const QString& schema)
{
    QString statements = addedSchemaSql(file);
    if (statements.trimmed().isEmpty())
        return;
    // The statements name their tables plainly; for an attached file they are qualified.
    if (schema != QStringLiteral("main")) {
        static const QRegularExpression created(QStringLiteral("(CREATE (?:UNIQUE )?(?:TABLE|INDEX) IF NOT EXISTS )"));
        statements.replace(created, QStringLiteral("\\1") + quoteIdentifier(schema) + QLatin1Char('.'));
    }
    // Comment lines go first: they may hold semicolons of their own.
    QString body;
    for (const QString& line : statements.split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QStringLiteral("--")))
            body += line + QLatin1Char('\n');
    }
    Transaction tx(db);
    for (const QString& statement : body.split(QLatin1Char(';'))) {
        if (!statement.trimmed().isEmpty())
            exec(db, statement);
    }
    tx.commit();
}

std::vector<TableLayout> requiredTables(DataFile file)
{
    SQLite::Database memory(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    memory.exec(section(baseName(file)).toStdString());
    std::vector<TableLayout> tables;
    const auto names = queryRows(memory, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"));
    for (const auto& row : names) {
        TableLayout layout{row.at(0).toString(), {}};
        const auto columns = queryRows(memory, QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {layout.name});
        for (const auto& column : columns)
            layout.columns << column.at(0).toString();
        tables.push_back(layout);
    }
    return tables;
}

} // namespace store
