#include "Prepared.h"

#include <SQLiteCpp/Database.h>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace store {

namespace {

// The caches of the open connections, by connection. The program runs its statements on one
// thread; a connection opened elsewhere (a backup being checked on a thread of its own) has
// no cache, but looks for one: the registry itself is shared, under its lock.
std::map<const SQLite::Database*, StatementCache*>& caches()
{
    static std::map<const SQLite::Database*, StatementCache*> open;
    return open;
}

std::mutex& cachesLock()
{
    static std::mutex lock;
    return lock;
}

StatementCache* cacheOf(const SQLite::Database& db)
{
    const std::lock_guard guard(cachesLock());
    const auto found = caches().find(&db);
    return found == caches().end() ? nullptr : found->second;
}

} // namespace

Prepared::Prepared(SQLite::Database& db, const QString& sql)
    : db_(db)
    , sql_(sql)
{
    const QByteArray text = sql.toUtf8();
    if (const int rc = sqlite3_prepare_v2(db.getHandle(), text.constData(), static_cast<int>(text.size()), &statement_, nullptr); rc != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
        throw DbError(sql_, QString::fromUtf8(sqlite3_errmsg(db.getHandle())), rc);
    }
}

Prepared::~Prepared()
{
    sqlite3_finalize(statement_);
}

void Prepared::fail(int code)
{
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_.getHandle()));
    // Leave the statement ready for the next line after a refused one.
    reset();
    throw DbError(sql_, message, code);
}

void Prepared::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    fresh_ = true;
}

void Prepared::bind(int index, const QVariant& value)
{
    if (!fresh_)
        reset();
    int rc = SQLITE_OK;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(statement_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(statement_, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            rc = sqlite3_bind_int64(statement_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(statement_, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(statement_, index, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

void Prepared::bind(int index, qint64 value)
{
    if (!fresh_)
        reset();
    if (const int rc = sqlite3_bind_int64(statement_, index, value); rc != SQLITE_OK)
        fail(rc);
}

void Prepared::bind(int index, const QString& text)
{
    if (!fresh_)
        reset();
    // The engine keeps text as UTF-8: converted here, it is copied once.
    const QByteArray utf8 = text.toUtf8();
    const int rc = sqlite3_bind_text(statement_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        fail(rc);
}

void Prepared::bindUtf8(int index, QByteArrayView text)
{
    if (!fresh_)
        reset();
    const int rc = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        fail(rc);
}

void Prepared::bindNull(int index)
{
    if (!fresh_)
        reset();
    if (const int rc = sqlite3_bind_null(statement_, index); rc != SQLITE_OK)
        fail(rc);
}

int Prepared::run()
{
    fresh_ = false;
    int rc = sqlite3_step(statement_);
    while (rc == SQLITE_ROW)
        rc = sqlite3_step(statement_);
    if (rc != SQLITE_DONE)
        fail(rc);
    const int changed = sqlite3_changes(db_.getHandle());
    reset();
    return changed;
}

bool Prepared::next()
{
    fresh_ = false;
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail(rc);
    return false;
}

int Prepared::exec(const QVariantList& values)
{
    reset();
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
    return run();
}

int Prepared::columnCount() const
{
    return sqlite3_column_count(statement_);
}

qint64 Prepared::integer(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

int Prepared::columnType(int column) const
{
    return sqlite3_column_type(statement_, column);
}

QVariant Prepared::value(int column) const
{
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement_, column));
    case SQLITE_TEXT: {
        const QByteArrayView text = utf8(column);
        return QVariant(QString::fromUtf8(text));
    }
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, column)), sqlite3_column_bytes(statement_, column)));
    default:
        return QVariant();
    }
}

QByteArrayView Prepared::utf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return QByteArrayView(text, text ? sqlite3_column_bytes(statement_, column) : 0);
}

bool Prepared::isBlank(int column) const
{
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_NULL:
        return true;
    case SQLITE_TEXT:
        return sqlite3_column_bytes(statement_, column) == 0;
    default:
        return false;
    }
}

Prepared::Use Prepared::reuse(SQLite::Database& db, const QString& sql)
{
    StatementCache* cache = cacheOf(db);
    if (!cache)
        return Use(nullptr, std::make_unique<Prepared>(db, sql));
    auto& statements = cache->statements_;
    const auto found = std::find_if(statements.begin(), statements.end(), [&](const auto& s) { return !s->inUse_ && s->sql_ == sql; });
    if (found != statements.end())
        return Use(found->get(), nullptr);
    statements.push_back(std::make_unique<Prepared>(db, sql));
    return Use(statements.back().get(), nullptr);
}

Prepared::Use::Use(Prepared* cached, std::unique_ptr<Prepared> own)
    : statement_(cached ? cached : own.get())
    , own_(std::move(own))
{
    if (cached) {
        cached->inUse_ = true;
        cached->reset();
    }
}

Prepared::Use::Use(Use&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr))
    , own_(std::move(other.own_))
{
}

Prepared::Use::~Use()
{
    if (!statement_ || own_)
        return;
    // A cached statement never keeps a read open between commands.
    statement_->reset();
    statement_->inUse_ = false;
}

StatementCache::StatementCache(SQLite::Database& db)
    : db_(db)
{
    const std::lock_guard guard(cachesLock());
    caches()[&db_] = this;
}

bool StatementCache::inUse() const
{
    return std::any_of(statements_.begin(), statements_.end(), [](const auto& s) { return s->inUse_; });
}

StatementCache::~StatementCache()
{
    const std::lock_guard guard(cachesLock());
    caches().erase(&db_);
}

} // namespace store
