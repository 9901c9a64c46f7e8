// The settings page's sender of bulk-transfer files: a group of its own below the
// settings, read, registered, cleared and deleted with them.

#include "SettingsPage.h"

#include "Msg.h"
#include "SenderGroup.h"
#include "Session.h"
#include "Skip.h"

#include <QVBoxLayout>

namespace settings {

void SettingsPage::addSenderGroup(QVBoxLayout* layout)
{
    sender_ = new SenderGroup(this);
    layout->addWidget(sender_);
}

void SettingsPage::readSender()
{
    if (!store::skipOnFailure(QStringLiteral("read the sender"), [&] { sender_->read(context_.session.mainDb()); }))
        context_.msg.ShowMsg(QStringLiteral("その他"), QStringLiteral("読込失敗"), QStringLiteral("振込依頼人"));
}

void SettingsPage::storeSender()
{
    if (!store::skipOnFailure(QStringLiteral("store the sender"), [&] { sender_->store(context_.session.mainDb()); }))
        context_.msg.ShowMsg(QStringLiteral("登録"), QStringLiteral("失敗"), QStringLiteral("振込依頼人"));
}

void SettingsPage::removeSender()
{
    if (!store::skipOnFailure(QStringLiteral("remove the sender"), [&] { sender_->remove(context_.session.mainDb()); }))
        context_.msg.ShowMsg(QStringLiteral("削除"), QStringLiteral("失敗"), QStringLiteral("振込依頼人"));
}

} // namespace settings
