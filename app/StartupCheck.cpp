#include "StartupCheck.h"

#include "DataFiles.h"
#include "MainWindow.h"
#include "Msg.h"
#include "Session.h"

#include <QDir>
#include <QEvent>
#include <QTimer>

StartupCheck::StartupCheck(MainWindow& window)
    : QObject(&window)
    , window_(window)
{
    window.installEventFilter(this);
}

bool StartupCheck::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Paint) {
        window_.removeEventFilter(this);
        QTimer::singleShot(0, this, &StartupCheck::start);
    }
    return false;
}

StartupCheck::~StartupCheck()
{
    if (thread_.joinable())
        thread_.join();
}

void StartupCheck::start()
{
    if (!window_.session().isOpen())
        return;
    window_.backups().startDaily();
    const QStringList files = {window_.session().mainPath(), window_.session().workPath()};
    thread_ = std::thread([this, files] {
        for (const QString& file : files) {
            if (auto problem = store::checkDataFile(file)) {
                failedFile_ = file;
                problem_ = std::move(problem);
                break;
            }
        }
        QMetaObject::invokeMethod(this, &StartupCheck::collect, Qt::QueuedConnection);
    });
}

void StartupCheck::collect()
{
    if (!thread_.joinable())
        return;
    thread_.join();
    finished_ = true;
    if (!problem_ || !window_.session().isOpen())
        return;
    window_.session().refuseWrites(failedFile_);
    window_.msg().ShowMsg(messages::MsgId::その他_検査失敗, QDir::toNativeSeparators(failedFile_) + QLatin1Char('\n') + *problem_);
}
