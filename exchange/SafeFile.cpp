#include "SafeFile.h"

#include "WholeFile.h"

namespace exchange {

QString writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    return store::writeWholeFile(path, bytes);
}

QString replaceFileAtomically(const QString& path, const std::function<QString(const QString& temporaryPath)>& write)
{
    return store::replaceWholeFile(path, write);
}

} // namespace exchange
