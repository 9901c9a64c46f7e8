#include "DaemonsNotUp.h"

#include <cstdio>

namespace realinput {

namespace {

bool& notUp()
{
    static bool marked = false;
    return marked;
}

} // namespace

void markDaemonsNotUp(const QString& what, const QString& why)
{
    notUp() = true;
    std::fputs(QStringLiteral("[ daemons not up ] %1: %2\n").arg(what, why).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

bool daemonsWereNotUp()
{
    return notUp();
}

int exitStatus(int result)
{
    // A failed case is a result: it is never hidden behind another run.
    return result == 0 && daemonsWereNotUp() ? kDaemonsNotUpExitCode : result;
}

} // namespace realinput
