#pragma once

#include <QByteArray>
#include <QString>

namespace banking {

// Names as the banks take them: half-width katakana with the voicing marks as characters
// of their own, uppercase letters, digits, the space and the symbols ( ) , - . / \ 「 」
// (the backslash is the yen sign of the banks' single-byte code). Every character of the
// result is one byte of that code.
struct BankText {
    QString text;    // the converted text
    QString refused; // the characters that cannot be converted, each once, in order
    bool ok() const { return refused.isEmpty(); }
};

// Converts typed text with ICU's transliterators: compatibility forms folded (㈱ is (株),
// half-width kana full-width), hiragana to katakana, small kana to full size (the banks
// have no small kana), lowercase to uppercase, then everything to its half-width form; the
// long vowel mark becomes a hyphen, the full-width space a space. What is not in the
// banks' set after that (kanji, ・, &, ...) is named in refused.
BankText toBankText(const QString& typed);

// The characters of the text outside the banks' set, each once, in order.
QString nonBankChars(const QString& text);

// Whether every character is in the banks' set (text already converted).
bool isBankText(const QString& text);

// A character's byte in the banks' single-byte code (JIS X 0201 as Shift_JIS has it): ASCII
// stays, the yen sign is 0x5C, the half-width katakana U+FF61-FF9F are 0xA1-0xDF. Only for
// characters of the banks' set.
inline char bankByte(QChar c)
{
    const char16_t u = c.unicode();
    return static_cast<char>(u == 0x00A5 ? 0x5C : u >= 0xFF61 ? u - 0xFF61 + 0xA1 : u);
}

// The text's bytes in the banks' single-byte code (JIS X 0201 as Shift_JIS has it).
// Only for text that isBankText().
QByteArray bankBytes(const QString& bankText);

} // namespace banking
