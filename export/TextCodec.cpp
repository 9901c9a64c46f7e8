#include "TextCodec.h"

#include <QList>
#include <QStringConverter>

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <memory>

namespace exporting {

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

} // namespace

namespace cp932 {

std::optional<QByteArray> encode(const QString& text)
{
    Converter converter = openStrict();
    if (!converter)
        return std::nullopt;
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
    return text;
}

} // namespace cp932

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace exporting
