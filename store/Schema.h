#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace store {

// The schema text compiled into the program (store/schema.sql).
const char* schemaText();

enum class DataFile { Main, Work };

// The statements that create one of the two files.
QString schemaSql(DataFile file);

struct TableLayout {
    QString name;
    QStringList columns;
};

// Every table the file must hold, with its columns in order, read from the schema.
std::vector<TableLayout> requiredTables(DataFile file);

// Name of the schema under which the work connection attaches the main file.
inline constexpr const char* kAttachedMain = "mainfile";

// A table of the main file as the work connection names it ("mainfile.<table>").
inline QString attachedMainTable(const QString& table)
{
    return QString::fromUtf8(kAttachedMain) + QLatin1Char('.') + table;
}

} // namespace store
