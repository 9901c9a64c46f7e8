#include "NameKey.h"

#include "BankKana.h"

namespace statement {

namespace {

bool isHalfWidthBankText(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!(u >= 0x20 && u <= 0x7E) && !(u >= 0xFF61 && u <= 0xFF9F))
            return false;
    }
    return true;
}

// The legal forms as the banks abbreviate them: カ (株式会社), ユ (有限会社), ド (合同会社),
// シヤ (社団法人), ザイ (財団法人), イ (医療法人), with ) after the form when it stands before
// the name and ( before it when it follows.
constexpr const char16_t* kForms[] = {u"ｶ", u"ﾕ", u"ﾄﾞ", u"ｼﾔ", u"ｻﾞｲ", u"ｲ"};

QString withoutLegalForm(QString text)
{
    for (const char16_t* form : kForms) {
        const QString f = QString::fromUtf16(form);
        text.replace(f + u')', QString());
        text.replace(u'(' + f, QString());
    }
    return text;
}

} // namespace

QString nameKey(const QString& name)
{
    QString text = name;
    text.replace(QStringLiteral("株式会社"), QStringLiteral("ｶ)"));
    text.replace(QStringLiteral("有限会社"), QStringLiteral("ﾕ)"));
    text.replace(QStringLiteral("合同会社"), QStringLiteral("ﾄﾞ)"));
    if (!isHalfWidthBankText(text))
        text = banking::toBankText(text).text;
    text = withoutLegalForm(text.toUpper());
    QString key;
    key.reserve(text.size());
    for (QChar c : text) {
        char16_t u = c.unicode();
        // Small kana written by a CSV file count as the full-size ones the banks write.
        if (u >= 0xFF67 && u <= 0xFF6B)
            u = u - 0xFF67 + 0xFF71;
        else if (u >= 0xFF6C && u <= 0xFF6E)
            u = u - 0xFF6C + 0xFF94;
        else if (u == 0xFF6F)
            u = 0xFF82;
        c = QChar(u);
        // Letters, digits and kana stay, the voicing marks included; blanks, punctuation and
        // the long vowel written as a hyphen go.
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= 0xFF66 && u <= 0xFF9F && u != 0xFF70) || (u > 0x3000 && u < 0xFF00))
            key += c;
    }
    return key;
}

bool keyMatches(const QString& statementKey, const QString& payeeKey)
{
    return payeeKey.size() >= 2 && statementKey.contains(payeeKey);
}

const QString& NameKeys::key(const QString& name)
{
    auto found = keys_.find(name);
    if (found == keys_.end())
        found = keys_.insert(name, nameKey(name));
    return *found;
}

} // namespace statement
