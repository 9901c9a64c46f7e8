#include "Skip.h"

namespace store {

void logSkipped(const QString& what, const DbError& error)
{
    qCWarning(lcStore).noquote() << "skipped step" << what << "statement:" << error.statement() << "engine:" << error.engineMessage();
}

void logSkipped(const QString& what, const std::exception& error)
{
    qCWarning(lcStore).noquote() << "skipped step" << what << "failure:" << QString::fromUtf8(error.what());
}

} // namespace store
