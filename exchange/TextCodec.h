#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace exchange {

// Shift_JIS as Windows and Excel write it (CP932), through ICU's converter
// "windows-31j". Seven characters have one code in JIS X 0208 but a different Unicode
// form on each side: Linux input methods type the JIS form (〜 U+301C, − U+2212, ‖ U+2016,
// — U+2014, ¢ £ ¬), Windows reads the same bytes as its own form (～ U+FF5E, － U+FF0D,
// ∥ U+2225, ― U+2015, ￠ ￡ ￢). Text is written in the Windows form, so that Excel shows
// it as typed, and read back in the JIS form; each pair shares one code, so the bytes
// stay the same both ways. Nothing else is replaced or approximated: a character without
// a CP932 code and bytes that are not CP932 are refused.
namespace cp932 {

// The text with the JIS forms of the seven characters replaced by the Windows forms.
QString toWindowsForms(QString text);
// The text with the Windows forms of the seven characters replaced by the JIS forms.
QString toJisForms(QString text);

// The CP932 bytes of the text (in the Windows forms), or nothing when a character has no
// CP932 code.
std::optional<QByteArray> encode(const QString& text);

// The characters of the text that have no CP932 code, each once, in order of appearance.
QString unmappable(const QString& text);

// The text of CP932 bytes (in the JIS forms), or nothing when the bytes are not valid CP932.
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

} // namespace exchange
