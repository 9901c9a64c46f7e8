#include "PayeeName.h"

#include "Msg.h"

#include <QList>

namespace payees {

// The catalogue's text names the limit.
static_assert(kMaxPayeeNameLength == 100);

namespace {

bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\u3000' || c == U'\r' || c == U'\n' || c == U'\v' || c == U'\f';
}

bool isRefused(char32_t c)
{
    // C0, DEL and C1 controls; a lone surrogate (broken text) decodes as U+FFFD here.
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD || c == 0x2028 || c == 0x2029;
}

QString catalogueText(const char* key, const QString& target)
{
    const auto box = messages::findMessage(QStringLiteral("入力"), QString::fromUtf8(key), target);
    return box ? box->text : QString();
}

} // namespace

QString normalizePayeeName(const QString& name)
{
    const QList<uint> points = name.toUcs4();
    qsizetype begin = 0;
    qsizetype end = points.size();
    while (begin < end && isBlank(points.at(begin)))
        ++begin;
    while (end > begin && isBlank(points.at(end - 1)))
        --end;
    if (begin == 0 && end == points.size())
        return name;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData() + begin), end - begin);
}

std::optional<NameRefusal> checkPayeeName(const QString& name)
{
    const QList<uint> points = name.toUcs4();
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (isRefused(points.at(i)))
            return NameRefusal{NameRefusal::Reason::Control, static_cast<int>(points.size()), static_cast<int>(i + 1), points.at(i)};
    }
    if (points.size() > kMaxPayeeNameLength)
        return NameRefusal{NameRefusal::Reason::TooLong, static_cast<int>(points.size()), 0, 0};
    return std::nullopt;
}

QString NameRefusal::text() const
{
    if (reason == Reason::TooLong)
        return catalogueText("名前長すぎ", QString::number(length));
    const QString code = QString::number(uint(character), 16).rightJustified(4, QLatin1Char('0')).toUpper();
    return catalogueText("名前制御文字", QStringLiteral("%1 文字目（U+%2）").arg(position).arg(code));
}

QString shownPayeeName(const QString& name)
{
    QString shown;
    const QList<uint> points = name.toUcs4();
    for (qsizetype i = 0; i < points.size() && i < 40; ++i) {
        const char32_t c = points.at(i);
        shown += isRefused(c) ? QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0')) : QString::fromUcs4(&c, 1);
    }
    return points.size() > 40 ? shown + QStringLiteral("…") : shown;
}

} // namespace payees
