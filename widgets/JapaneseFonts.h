#pragma once

#include <QString>
#include <QStringList>

// The screens and the report ask for the Windows faces "ＭＳ Ｐゴシック" (proportional) and
// "ＭＳ ゴシック" (fixed width). They map to IPA Gothic first, whose text copied out of a
// PDF comes back exact, then to Noto Sans CJK JP for every character IPA lacks (𠮷 and
// most of JIS X 0213's second plane). Qt falls back through that list glyph by glyph, on
// screen, in the preview and in the PDF alike.
namespace fonts {

inline QString proportionalFamily() { return QStringLiteral("ＭＳ Ｐゴシック"); }
inline QString fixedFamily() { return QStringLiteral("ＭＳ ゴシック"); }

// The installed faces each asked-for family maps to, in order of preference.
QStringList facesFor(const QString& family);

// Installs the substitutions; once per process is enough, more is harmless.
void installJapaneseFonts();

} // namespace fonts
