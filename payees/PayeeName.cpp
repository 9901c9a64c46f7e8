#include "PayeeName.h"

#include "Msg.h"

#include <QList>

namespace payees {

// The catalogue's text names the limit.
static_assert(kMaxPayeeNameLength == 100);

namespace {

// Names are long lists at an import: both functions walk the UTF-16 text once, without
// making a copy. Blanks and refused characters all lie in the basic plane.
bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\u3000' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool isRefused(char32_t c)
{
    // C0, DEL and C1 controls, the line and paragraph separators, and U+FFFD (what broken
    // text decodes to).
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFD || c == 0x2028 || c == 0x2029;
}

} // namespace

QString normalizePayeeName(const QString& name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && isBlank(name.at(begin).unicode()))
        ++begin;
    while (end > begin && isBlank(name.at(end - 1).unicode()))
        --end;
    if (begin == 0 && end == name.size())
        return name;
    return name.mid(begin, end - begin);
}

std::optional<NameRefusal> checkPayeeName(const QString& name)
{
    int length = 0;
    std::optional<NameRefusal> control;
    const qsizetype size = name.size();
    for (qsizetype i = 0; i < size; ++i, ++length) {
        const char16_t unit = name.at(i).unicode();
        char32_t point = unit;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(name.at(i + 1).unicode()))
            point = QChar::surrogateToUcs4(unit, name.at(++i).unicode());
        else if (QChar::isSurrogate(unit))
            point = 0xFFFD; // a lone half of a pair
        if (!control && isRefused(point))
            control = NameRefusal{NameRefusal::Reason::Control, 0, length + 1, point};
    }
    if (control) {
        control->length = length;
        return control;
    }
    if (length > kMaxPayeeNameLength)
        return NameRefusal{NameRefusal::Reason::TooLong, length, 0, 0};
    return std::nullopt;
}

QString NameRefusal::text() const
{
    if (reason == Reason::TooLong)
        return messages::messageText(messages::MsgId::入力_名前長すぎ, QString::number(length));
    const QString code = QString::number(uint(character), 16).rightJustified(4, QLatin1Char('0')).toUpper();
    return messages::messageText(messages::MsgId::入力_名前制御文字, QStringLiteral("%1 文字目（U+%2）").arg(position).arg(code));
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
