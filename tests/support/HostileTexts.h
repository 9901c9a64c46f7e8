#pragma once

#include <QString>
#include <QStringList>

// Texts that break careless code: statement quoting, quotes of every kind, combining
// marks, emoji and a ZWJ sequence, right-to-left text, an embedded NUL, a very long text,
// blanks at both ends and format and parameter markers.
inline QStringList hostileTexts()
{
    return {
        "'; DROP TABLE 支払予定表; --",
        "O'Brien",
        "\"double\" 'single' “curly” ‘curly’ 「かぎ」『二重』 `back`",
        QString::fromUtf8("e\xcc\x81 \xe3\x81\x8b\xe3\x82\x99 A\xcc\x8a"), // combining marks
        QString::fromUtf8("\xf0\x9f\x92\xb4\xf0\x9f\x8f\xa6 \xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7"), // emoji, ZWJ sequence
        QString::fromUtf8("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d \xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a \xe2\x80\x8f"), // right-to-left
        QString::fromUtf8("a\0b", 3), // embedded NUL
        QString(100000, QChar(u'長')),
        "  前後に空白  ",
        "%s %n \\ \\0 ? ?1 :name @x $1",
    };
}
