#include "Sql.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcStore, "quorel.store")

namespace store {

DbError::DbError(QString statement, QString engineMessage, int code)
    : std::runtime_error((engineMessage + QStringLiteral(" [") + statement + QStringLiteral("]")).toStdString())
    , statement_(std::move(statement))
    , engineMessage_(std::move(engineMessage))
    , code_(code)
{
}

void bindValue(SQLite::Statement& statement, int index, const QVariant& value)
{
    if (value.isNull() || !value.isValid()) {
        statement.bind(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
        statement.bind(index, value.toBool() ? 1 : 0);
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        statement.bind(index, static_cast<int64_t>(value.toLongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        statement.bind(index, value.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        statement.bind(index, bytes.constData(), static_cast<int>(bytes.size()));
        return;
    }
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        statement.bind(index, std::string(utf8.constData(), static_cast<size_t>(utf8.size())));
        return;
    }
    }
}

void bindAll(SQLite::Statement& statement, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        bindValue(statement, i + 1, values.at(i));
}

QVariant columnValue(const SQLite::Column& column)
{
    switch (column.getType()) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(column.getInt64()));
    case SQLITE_FLOAT:
        return QVariant(column.getDouble());
    case SQLITE_TEXT: {
        const char* text = static_cast<const char*>(column.getBlob());
        return QVariant(QString::fromUtf8(text, column.getBytes()));
    }
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(column.getBlob()), column.getBytes()));
    default:
        return QVariant();
    }
}

namespace {
template <class F>
auto guarded(SQLite::Database& db, const QString& sql, F&& body)
{
    try {
        return body();
    } catch (const SQLite::Exception& e) {
        const int code = e.getErrorCode();
        throw DbError(sql, QString::fromUtf8(e.what()), code == -1 ? sqlite3_errcode(db.getHandle()) : code);
    }
}
} // namespace

int exec(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    return guarded(db, sql, [&] {
        SQLite::Statement statement(db, sql.toStdString());
        bindAll(statement, values);
        return statement.exec();
    });
}

std::vector<Row> queryRows(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    return guarded(db, sql, [&] {
        SQLite::Statement statement(db, sql.toStdString());
        bindAll(statement, values);
        std::vector<Row> rows;
        const int columns = statement.getColumnCount();
        while (statement.executeStep()) {
            Row row;
            row.reserve(static_cast<size_t>(columns));
            for (int c = 0; c < columns; ++c)
                row.push_back(columnValue(statement.getColumn(c)));
            rows.push_back(std::move(row));
        }
        return rows;
    });
}

QVariant scalar(SQLite::Database& db, const QString& sql, const QVariantList& values)
{
    return guarded(db, sql, [&] {
        SQLite::Statement statement(db, sql.toStdString());
        bindAll(statement, values);
        if (!statement.executeStep())
            return QVariant();
        return columnValue(statement.getColumn(0));
    });
}

QString quoteIdentifier(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace store
