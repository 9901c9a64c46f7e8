#include "JapaneseFonts.h"

#include <QFont>

namespace fonts {

QStringList facesFor(const QString& family)
{
    if (family == proportionalFamily())
        return {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")};
    if (family == fixedFamily())
        return {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP")};
    return {};
}

void installJapaneseFonts()
{
    for (const QString& family : {proportionalFamily(), fixedFamily()}) {
        QFont::removeSubstitutions(family);
        QFont::insertSubstitutions(family, facesFor(family));
    }
}

} // namespace fonts
