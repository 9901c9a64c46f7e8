#include "JapaneseCollation.h"

#include "Sql.h"

#include <SQLiteCpp/Database.h>
#include <sqlite3.h>

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace store {

namespace {

std::unique_ptr<icu::Collator> makeCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale::getJapanese(), status));
    if (U_FAILURE(status))
        return nullptr;
    return collator;
}

int compareBytes(const char* a, int aLength, const char* b, int bLength)
{
    const int common = std::memcmp(a, b, static_cast<size_t>(std::min(aLength, bLength)));
    if (common != 0)
        return common;
    return aLength < bLength ? -1 : aLength > bLength ? 1 : 0;
}

int compareUtf8(const icu::Collator* collator, const char* a, int aLength, const char* b, int bLength)
{
    if (collator) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult result = collator->compareUTF8(icu::StringPiece(a, aLength), icu::StringPiece(b, bLength), status);
        if (U_SUCCESS(status) && result != UCOL_EQUAL)
            return result == UCOL_LESS ? -1 : 1;
    }
    return compareBytes(a, aLength, b, bLength);
}

int collate(void* collator, int aLength, const void* a, int bLength, const void* b)
{
    return compareUtf8(static_cast<const icu::Collator*>(collator), static_cast<const char*>(a), aLength, static_cast<const char*>(b), bLength);
}

void destroy(void* collator)
{
    delete static_cast<icu::Collator*>(collator);
}

} // namespace

void registerJapaneseCollation(SQLite::Database& db)
{
    std::unique_ptr<icu::Collator> collator = makeCollator();
    // Without ICU's data the collation still answers, in byte order.
    const int rc = sqlite3_create_collation_v2(db.getHandle(), kJapaneseCollation, SQLITE_UTF8, collator.get(), collate, destroy);
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("COLLATE ja"), QString::fromUtf8(sqlite3_errstr(rc)), rc);
    collator.release(); // the connection owns it now and deletes it through destroy()
}

int compareJapanese(const QString& a, const QString& b)
{
    static const std::unique_ptr<icu::Collator> collator = makeCollator();
    const QByteArray aText = a.toUtf8();
    const QByteArray bText = b.toUtf8();
    return compareUtf8(collator.get(), aText.constData(), static_cast<int>(aText.size()), bText.constData(), static_cast<int>(bText.size()));
}

} // namespace store
