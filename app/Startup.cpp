#include "Startup.h"

#include "DataFiles.h"
#include "FrmQuorel1.h"
#include "Msg.h"
#include "Session.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include <sqlite3.h>

void prepareApplication()
{
    static bool prepared = false;
    if (prepared)
        return;
    prepared = true;
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 10));
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

StartupOutcome startQuorel1(const QString& dataDirectory, messages::MessagePresenter& presenter)
{
    prepareApplication();
    messages::Msg msg(presenter);
    auto lock = std::make_unique<store::InstanceLock>(dataDirectory);
    if (lock->heldByAnother()) {
        msg.ShowMsg(QStringLiteral("その他"), QStringLiteral("二重起動"), dataDirectory);
        return {nullptr, 1};
    }
    std::unique_ptr<store::Session> session;
    try {
        session = store::Session::open(dataDirectory);
    } catch (const store::StartupError& e) {
        msg.ShowMsg(QStringLiteral("その他"), QStringLiteral("起動失敗"), e.path() + QLatin1Char('\n') + e.engineMessage());
        return {nullptr, 1};
    }
    if (!lock->acquired()) {
        // The directory cannot be written: the files could not be changed safely.
        msg.ShowMsg(QStringLiteral("その他"), QStringLiteral("起動失敗"), dataDirectory + QLatin1Char('\n') + QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)));
        return {nullptr, 1};
    }
    return {std::make_unique<FrmQuorel1>(std::move(lock), std::move(session), presenter), 0};
}
