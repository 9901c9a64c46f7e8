#include "TextCodec.h"

#include <QList>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>
#include <utility>

namespace exchange {

namespace {

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// A CP932 converter that stops at the first character or byte it cannot convert.
Converter openStrict()
{
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status) || !converter)
        return nullptr;
    ucnv_setFallback(converter.get(), false);
    ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status))
        return nullptr;
    return converter;
}

// The characters JIS and the Windows code page write with one code but read as
// different Unicode characters: {JIS form, Windows form}.
constexpr std::pair<char16_t, char16_t> kJisWindowsPairs[] = {
    {u'\u301C', u'\uFF5E'}, // WAVE DASH, FULLWIDTH TILDE
    {u'\u2212', u'\uFF0D'}, // MINUS SIGN, FULLWIDTH HYPHEN-MINUS
    {u'\u2016', u'\u2225'}, // DOUBLE VERTICAL LINE, PARALLEL TO
    {u'\u2014', u'\u2015'}, // EM DASH, HORIZONTAL BAR
    {u'\u00A2', u'\uFFE0'}, // CENT SIGN, FULLWIDTH CENT SIGN
    {u'\u00A3', u'\uFFE1'}, // POUND SIGN, FULLWIDTH POUND SIGN
    {u'\u00AC', u'\uFFE2'}, // NOT SIGN, FULLWIDTH NOT SIGN
};

} // namespace

namespace cp932 {

QString toWindowsForms(QString text)
{
    for (const auto& [jis, windows] : kJisWindowsPairs)
        text.replace(QChar(jis), QChar(windows));
    return text;
}

QString toJisForms(QString text)
{
    for (const auto& [jis, windows] : kJisWindowsPairs)
        text.replace(QChar(windows), QChar(jis));
    return text;
}

std::optional<QByteArray> encode(const QString& jisText)
{
    Converter converter = openStrict();
    if (!converter)
        return std::nullopt;
    const QString text = toWindowsForms(jisText);
    const auto* source = reinterpret_cast<const UChar*>(text.utf16());
    QByteArray bytes(text.size() * 2 + 16, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_fromUChars(converter.get(), bytes.data(), static_cast<int32_t>(bytes.size()), source, static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    bytes.truncate(length);
    return bytes;
}

QString unmappable(const QString& text)
{
    QString found;
    const QList<uint> points = text.toUcs4();
    for (const uint point : points) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
        if (!encode(character) && !found.contains(character))
            found += character;
    }
    return found;
}

std::optional<QString> decode(const QByteArray& bytes)
{
    Converter converter = openStrict();
    if (!converter)
        return std::nullopt;
    QString text(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()), static_cast<int32_t>(text.size()), bytes.constData(),
        static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.truncate(length);
    return toJisForms(text);
}

} // namespace cp932

bool isValidUtf8(const QByteArray& bytes)
{
    // By the table of well-formed byte sequences (Unicode 3.9, table 3-7), without decoding.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* const end = p + bytes.size();
    const auto trail = [](unsigned char c) { return c >= 0x80 && c <= 0xBF; };
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;  // no overlong form
            high = c == 0xED ? 0x9F : 0xBF; // no surrogate
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            low = c == 0xF0 ? 0x90 : 0x80;  // no overlong form
            high = c == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
        } else {
            return false;
        }
        if (end - p <= extra || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= extra; ++i) {
            if (!trail(p[i]))
                return false;
        }
        p += extra + 1;
    }
    return true;
}

} // namespace exchange
