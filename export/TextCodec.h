#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace exporting {

// Shift_JIS as Windows and Excel write it (CP932), through ICU's converter
// "windows-31j". Nothing is replaced or approximated: a character without a CP932 code
// and bytes that are not CP932 are refused.
namespace cp932 {

// The CP932 bytes of the text, or nothing when a character has no CP932 code.
std::optional<QByteArray> encode(const QString& text);

// The characters of the text that have no CP932 code, each once, in order of appearance.
QString unmappable(const QString& text);

// The text of CP932 bytes, or nothing when the bytes are not valid CP932.
std::optional<QString> decode(const QByteArray& bytes);

} // namespace cp932

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(const QByteArray& bytes);

// The UTF-8 byte-order mark.
inline const QByteArray& utf8Bom()
{
    static const QByteArray bom("\xEF\xBB\xBF", 3);
    return bom;
}

} // namespace exporting
