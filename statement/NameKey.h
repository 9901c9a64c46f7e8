#pragma once

// Names compared as the banks write them: a payee's account holder (口座名義), a name a
// statement used before and the names on a statement line all become one key.

#include <QHash>
#include <QString>

namespace statement {

// The key of a name: half-width katakana, ASCII uppercase, small kana full size (through
// the banks' kana conversion), the legal form left out (株式会社, 有限会社, ㈱ and the
// banks' ｶ) before or (ｶ after the name), and no blanks or punctuation. Two ways of writing
// one holder give one key.
QString nameKey(const QString& name);

// Whether the statement's key holds the payee's key (a bank writes more than the name, or
// cuts it at its field's width; a key of one character never matches).
bool keyMatches(const QString& statementKey, const QString& payeeKey);

// nameKey() remembered per text, for the many lines of one statement.
class NameKeys {
public:
    const QString& key(const QString& name);

private:
    QHash<QString, QString> keys_;
};

} // namespace statement
