#include "Sql.h"

#include "Prepared.h"


Q_LOGGING_CATEGORY(lcStore, "quorel.store")

namespace store {

DbError::DbError(QString statement, QString engineMessage, int code)
    : std::runtime_error((engineMessage + QStringLiteral(" [") + statement + QStringLiteral("]")).toStdString())
    , statement_(std::move(statement))
    , engineMessage_(std::move(engineMessage))
    , code_(code)
{
}

int exec(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    return Prepared(db, sql).exec(values);
}

std::vector<Row> queryRows(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    Prepared query(db, sql);
    for (int i = 0; i < values.size(); ++i)
        query.bind(i + 1, values.at(i));
    std::vector<Row> rows;
    while (query.next()) {
        const int columns = query.columnCount();
        Row row;
        row.reserve(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(query.value(c));
        rows.push_back(std::move(row));
    }
    return rows;
}

QVariant scalar(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    Prepared query(db, sql);
    for (int i = 0; i < values.size(); ++i)
        query.bind(i + 1, values.at(i));
    return query.next() ? query.value(0) : QVariant();
}

QString quoteIdentifier(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace store
