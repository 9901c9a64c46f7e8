// The settings page's sender of bulk-transfer files: a box beside the settings shows it,
// and its button opens the sender's dialog, which writes to the main file at once.

#include "SettingsPage.h"

#include "AccountStore.h"
#include "CommandButtons.h"
#include "Msg.h"
#include "SenderDialog.h"
#include "Session.h"
#include "Skip.h"

#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace settings {

namespace {
// The widest line of the sender's box, in pixels.
constexpr int kSummaryWidth = 220;
} // namespace

void SettingsPage::addSenderBox(QHBoxLayout* row)
{
    auto* box = new QGroupBox(QStringLiteral("振込依頼人"), this);
    box->setObjectName(QStringLiteral("grp振込依頼人"));
    auto* column = new QVBoxLayout(box);
    senderSummary_ = new QLabel(QStringLiteral("未登録"), box);
    senderSummary_->setObjectName(QStringLiteral("lbl振込依頼人"));
    senderSummary_->setFont(QFont(QStringLiteral("ＭＳ ゴシック")));
    auto* edit = new QPushButton(QStringLiteral("設定..."), box);
    edit->setObjectName(QStringLiteral("cmd振込依頼人"));
    edit->setToolTip(QStringLiteral("振込データ作成に使う依頼人コード・依頼人名・口座"));
    column->addWidget(senderSummary_);
    column->addWidget(edit, 0, Qt::AlignLeft);
    addFeeRows(column);
    column->addStretch();
    row->addSpacing(12);
    row->addWidget(box, 0, Qt::AlignTop);
    // Nothing thrown by the command leaves the click's handler.
    connect(makeCommand(edit, this, PageCommand::Sender), &QAction::triggered, this,
        [this] { store::skipOnFailure(QStringLiteral("cmd振込依頼人"), [this] { openSenderDialog(); }); });
    askSender = [](SenderDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void SettingsPage::showSender()
{
    showFees();
    std::optional<banking::Sender> sender;
    if (!store::skipOnFailure(QStringLiteral("read the sender"), [&] { sender = banking::AccountStore(context_.session.mainDb()).sender(); })) {
        senderSummary_->setText(QString());
        return;
    }
    // Each line at most as wide as the box may be, so that the page keeps its size.
    QStringList lines;
    for (const QString& line : senderSummary(sender).split(QLatin1Char('\n')))
        lines << senderSummary_->fontMetrics().elidedText(line, Qt::ElideRight, kSummaryWidth);
    senderSummary_->setText(lines.join(QLatin1Char('\n')));
    senderSummary_->setToolTip(senderSummary(sender));
}

void SettingsPage::openSenderDialog()
{
    std::optional<banking::Sender> stored;
    if (!store::skipOnFailure(QStringLiteral("read the sender"), [&] { stored = banking::AccountStore(context_.session.mainDb()).sender(); })) {
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("振込依頼人"));
        return;
    }
    SenderDialog dialog(stored, context_.msg, this);
    if (!askSender || !askSender(dialog))
        return;
    const bool written = store::skipOnFailure(QStringLiteral("write the sender"), [&] {
        banking::AccountStore accounts(context_.session.mainDb());
        if (dialog.sender())
            accounts.saveSender(*dialog.sender());
        else
            accounts.removeSender();
    });
    if (!written)
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("振込依頼人"));
    showSender();
}

} // namespace settings
