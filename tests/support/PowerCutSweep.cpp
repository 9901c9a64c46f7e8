#include "PowerCutSweep.h"

#include "Session.h"
#include "Sql.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

void restore(const QString& path, const QByteArray& bytes)
{
    QFile::remove(path + "-journal");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

SweepResult sweepPowerCuts(TempDataDir& dir,
    const std::function<void(const std::function<void()>& arm)>& operation,
    const std::function<QString(store::Session&)>& state)
{
    const QByteArray mainBefore = TempDataDir::readAll(dir.mainPath());
    const QByteArray workBefore = TempDataDir::readAll(dir.workPath());
    QString oldState;
    {
        auto session = store::Session::open(dir.path());
        oldState = state(*session);
    }
    FaultVfs vfs;
    operation([&] { vfs.clear(); });
    const long total = vfs.steps();
    QString newState;
    {
        auto session = store::Session::open(dir.path());
        newState = state(*session);
    }
    EXPECT_NE(oldState, newState) << "the operation changed nothing";
    SweepResult result;
    for (long cut = 1; cut <= total; ++cut) {
        for (bool powerLoss : {true, false}) {
            restore(dir.mainPath(), mainBefore);
            restore(dir.workPath(), workBefore);
            operation([&] { vfs.powerCutAt(cut); });
            vfs.crash(powerLoss);
            auto session = store::Session::open(dir.path());
            const bool intact = store::scalar(session->mainDb(), "PRAGMA integrity_check").toString() == "ok"
                && store::scalar(session->workDb(), "PRAGMA integrity_check").toString() == "ok";
            const QString now = state(*session);
            const char* how = powerLoss ? " (power loss)" : " (killed)";
            if (!intact) {
                ++result.broken;
                ADD_FAILURE() << "cut " << cut << " of " << total << how << ": a file failed its integrity check";
            } else if (now == oldState) {
                ++result.old;
            } else if (now == newState) {
                ++result.fresh;
            } else {
                ++result.broken;
                ADD_FAILURE() << "cut " << cut << " of " << total << how << " left a mix of old and new";
            }
        }
        ++result.cuts;
    }
    restore(dir.mainPath(), mainBefore);
    restore(dir.workPath(), workBefore);
    return result;
}
