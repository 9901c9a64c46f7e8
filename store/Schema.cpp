#include "Schema.h"

#include "Sql.h"

#include <SQLiteCpp/Database.h>

namespace store {

QString schemaSql(DataFile file)
{
    const QString all = QString::fromUtf8(schemaText());
    const qsizetype mainAt = all.indexOf(QStringLiteral("\n-- @main\n"));
    const qsizetype workAt = all.indexOf(QStringLiteral("\n-- @work\n"));
    if (file == DataFile::Main)
        return all.mid(mainAt, workAt - mainAt);
    return all.mid(workAt);
}

std::vector<TableLayout> requiredTables(DataFile file)
{
    SQLite::Database memory(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    memory.exec(schemaSql(file).toStdString());
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
