// The settings page's transfer fees: under the sender in its box, the fee settings in short
// and the button that opens their dialog, which writes to the main file at once.

#include "SettingsPage.h"

#include "FeeDialog.h"
#include "FeeSettingsStore.h"
#include "Msg.h"
#include "Session.h"
#include "Skip.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace settings {

namespace {
// The widest line of the summary, in pixels, as the sender's lines above it.
constexpr int kFeeSummaryWidth = 220;
} // namespace

void SettingsPage::addFeeRows(QVBoxLayout* column)
{
    feeSummary_ = new QLabel(this);
    feeSummary_->setObjectName(QStringLiteral("lbl振込手数料"));
    auto* edit = new QPushButton(QStringLiteral("手数料..."), this);
    edit->setObjectName(QStringLiteral("cmd振込手数料"));
    edit->setToolTip(QStringLiteral("振込元口座の手数料表（同行同店・同行他店・他行）、先方負担の計算方式、手数料の負担"));
    column->addSpacing(6);
    column->addWidget(feeSummary_);
    column->addWidget(edit, 0, Qt::AlignLeft);
    // Nothing thrown by the command leaves the click's handler.
    connect(edit, &QPushButton::clicked, this, [this] { store::skipOnFailure(QStringLiteral("cmd振込手数料"), [this] { openFeeDialog(); }); });
    askFees = [](FeeDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void SettingsPage::showFees()
{
    banking::FeeSettings fees;
    if (!store::skipOnFailure(QStringLiteral("read the fee settings"), [&] { fees = banking::FeeSettingsStore(context_.session.mainDb()).read(); })) {
        feeSummary_->setText(QString());
        return;
    }
    const QString full = QStringLiteral("手数料：") + feeSummary(fees);
    QStringList lines;
    for (const QString& line : full.split(QLatin1Char('\n')))
        lines << feeSummary_->fontMetrics().elidedText(line, Qt::ElideRight, kFeeSummaryWidth);
    feeSummary_->setText(lines.join(QLatin1Char('\n')));
    feeSummary_->setToolTip(full);
}

void SettingsPage::openFeeDialog()
{
    banking::FeeSettings stored;
    if (!store::skipOnFailure(QStringLiteral("read the fee settings"), [&] { stored = banking::FeeSettingsStore(context_.session.mainDb()).read(); })) {
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("振込手数料"));
        return;
    }
    FeeDialog dialog(stored, context_.msg, this);
    if (!askFees || !askFees(dialog))
        return;
    const bool written =
        store::skipOnFailure(QStringLiteral("write the fee settings"), [&] { banking::FeeSettingsStore(context_.session.mainDb()).write(dialog.settings()); });
    if (!written)
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("振込手数料"));
    showFees();
}

} // namespace settings
