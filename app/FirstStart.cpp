#include "FirstStart.h"

#include "DataFiles.h"
#include "Msg.h"

#include <QDir>

FirstStartOutcome prepareDataFolder(const DataLocation& location, messages::Msg& msg)
{
    if (!location.mayCreateBook || bookStateIn(location.directory) != BookState::None)
        return FirstStartOutcome::Ready;
    const QString shown = QDir::toNativeSeparators(location.directory);
    if (!msg.ShowMsg(messages::MsgId::その他_初回起動, shown))
        return FirstStartOutcome::Declined;
    // A file that appeared while the question was open is not joined by a new partner.
    if (bookStateIn(location.directory) != BookState::None)
        return FirstStartOutcome::Ready;
    try {
        store::createMissingDataFiles(location.directory);
    } catch (const std::exception& e) {
        const QString detail = messages::messageText(messages::MsgId::その他_詳細, QString::fromUtf8(e.what()));
        msg.ShowMsg(messages::MsgId::その他_作成失敗, shown + QStringLiteral("\n\n") + detail);
        return FirstStartOutcome::Failed;
    }
    return FirstStartOutcome::Ready;
}
