#pragma once

#include <QString>

namespace SQLite {
class Database;
}

namespace store {

// The name under which a connection sorts text in Japanese order: ORDER BY x COLLATE ja.
inline constexpr const char* kJapaneseCollation = "ja";

// Registers the collation kJapaneseCollation on a connection: ICU's order for Japanese
// (kana by the gojūon, then kanji, half- and full-width forms side by side), texts that
// ICU takes as equal ordered by their bytes, so that the order never depends on chance.
// Throws DbError when the connection refuses it.
void registerJapaneseCollation(SQLite::Database& db);

// The same order for two texts: negative, zero or positive.
int compareJapanese(const QString& a, const QString& b);

} // namespace store
