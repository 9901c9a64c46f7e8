#include "BankKana.h"

#include <QList>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <mutex>

namespace banking {

namespace {

// One compound transliterator: ICU's own steps, with two rules of the banks in between.
// The banks have no small kana, so each is written as the full-size kana (ICU has no step
// for that; the twelve pairs are the only ones spelt out), and the long vowel mark, which
// many banks refuse, as the hyphen they print for it.
const char16_t* const kRules = u":: NFKC ;"
                               u":: Halfwidth-Fullwidth ;"
                               u":: Hiragana-Katakana ;"
                               u":: Any-Upper ;"
                               u"ァ > ア ; ィ > イ ; ゥ > ウ ; ェ > エ ; ォ > オ ; ッ > ツ ; ャ > ヤ ; ュ > ユ ; ョ > ヨ ; ヮ > ワ ; ヵ > カ ; ヶ > ケ ;"
                               u":: Fullwidth-Halfwidth ;"
                               u"[ｰ‐−] > '-' ;";

class Converter {
public:
    Converter()
    {
        UParseError where{};
        UErrorCode status = U_ZERO_ERROR;
        transliterator_.reset(icu::Transliterator::createFromRules(u"Quorel1-BankKana", icu::UnicodeString(kRules), UTRANS_FORWARD, where, status));
        if (U_FAILURE(status))
            transliterator_.reset();
    }
    QString convert(const QString& text)
    {
        if (!transliterator_)
            return text;
        icu::UnicodeString buffer(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
        const std::lock_guard lock(mutex_);
        transliterator_->transliterate(buffer);
        return QString(reinterpret_cast<const QChar*>(buffer.getBuffer()), buffer.length());
    }

private:
    std::mutex mutex_;
    std::unique_ptr<icu::Transliterator> transliterator_;
};

Converter& converter()
{
    static Converter instance;
    return instance;
}

bool isBankChar(char32_t c)
{
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z'))
        return true;
    switch (c) {
    case u' ':
    case u'(':
    case u')':
    case u',':
    case u'-':
    case u'.':
    case u'/':
    case u'\\':
    case 0x00A5: // YEN SIGN: the same byte as the backslash
    case 0xFF62: // HALFWIDTH LEFT CORNER BRACKET
    case 0xFF63: // HALFWIDTH RIGHT CORNER BRACKET
    case 0xFF66: // HALFWIDTH KATAKANA LETTER WO
    case 0xFF9E: // HALFWIDTH VOICED SOUND MARK
    case 0xFF9F: // HALFWIDTH SEMI-VOICED SOUND MARK
        return true;
    default:
        // ｱ (U+FF71) to ﾝ (U+FF9D); the small kana (U+FF67-FF6F) and ｰ are not the banks'.
        return c >= 0xFF71 && c <= 0xFF9D;
    }
}

} // namespace

BankText toBankText(const QString& typed)
{
    BankText result;
    result.text = isBankText(typed) ? typed : converter().convert(typed);
    result.refused = nonBankChars(result.text);
    return result;
}

QString nonBankChars(const QString& text)
{
    QString found;
    const QList<uint> points = text.toUcs4();
    for (const uint point : points) {
        if (isBankChar(point))
            continue;
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&point), 1);
        if (!found.contains(character))
            found += character;
    }
    return found;
}

bool isBankText(const QString& text)
{
    for (const QChar c : text) {
        if (!isBankChar(c.unicode()))
            return false;
    }
    return true;
}

QByteArray bankBytes(const QString& bankText)
{
    QByteArray bytes;
    bytes.reserve(bankText.size());
    for (const QChar c : bankText)
        bytes.append(bankByte(c));
    return bytes;
}

} // namespace banking
