#include "AmountText.h"

namespace store {

namespace {

bool isComma(QChar c)
{
    return c == u',' || c == u'\uFF0C' || c == u'\u3001';
}

bool isDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'\uFF10' && c <= u'\uFF19');
}

bool isPoint(QChar c)
{
    return c == u'.' || c == u'\uFF0E';
}

} // namespace

bool hasValidThousandsGrouping(const QString& text)
{
    const QString s = text.trimmed();
    qsizetype end = 0;
    while (end < s.size() && !isPoint(s.at(end)))
        ++end;
    bool anyComma = false;
    for (const QChar c : s)
        anyComma = anyComma || isComma(c);
    if (!anyComma)
        return true;
    // No comma after the decimal point.
    for (qsizetype i = end; i < s.size(); ++i) {
        if (isComma(s.at(i)))
            return false;
    }
    // The whole part, after its sign: groups of digits between single commas, the first of
    // one to three digits, every other of exactly three.
    qsizetype i = 0;
    while (i < end && !isDigit(s.at(i)) && !isComma(s.at(i)))
        ++i;
    int group = 0;
    bool first = true;
    for (; i < end; ++i) {
        const QChar c = s.at(i);
        if (isDigit(c)) {
            ++group;
            continue;
        }
        if (!isComma(c))
            return false;
        if (first ? (group < 1 || group > 3) : group != 3)
            return false;
        first = false;
        group = 0;
    }
    return !first && group == 3;
}

} // namespace store
