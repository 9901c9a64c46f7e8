// The payee page's bank details: the 口座 button and a double-click on a line's
// number open the details dialog of the line's payee; the details are kept in the main
// file by the payee's name. 出力 asks for the payee list with the details as a file.

#include "PayeePage.h"

#include "AccountStore.h"
#include "BankDetailsDialog.h"
#include "CommandButtons.h"
#include "GridView.h"
#include "Msg.h"
#include "PayeeBearers.h"
#include "Session.h"
#include "Skip.h"
#include "PayeeModel.h"
#include "Transaction.h"
#include "WorkTableModel.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace payees {

void PayeePage::addAccountCommand(QVBoxLayout* buttons)
{
    auto* button = new QPushButton(QStringLiteral("口座"), this);
    button->setObjectName(QStringLiteral("cmd支払先口座"));
    button->setToolTip(QStringLiteral("振込に使う支払先の口座"));
    buttons->addWidget(button);
    // Nothing thrown by the command leaves the click's handler.
    connect(makeCommand(button, this, PageCommand::Account), &QAction::triggered, this,
        [this] { store::skipOnFailure(QStringLiteral("cmd支払先口座"), [this] { openAccountDialog(); }); });
    connect(grid_->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
        [this](int row) { store::skipOnFailure(QStringLiteral("Grid支払先マスタ row number"), [this, row] { openAccountDialog(row); }); });
    askAccount = [](BankDetailsDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    auto* list = new QPushButton(QStringLiteral("出力"), this);
    list->setObjectName(QStringLiteral("cmd支払先出力"));
    list->setToolTip(QStringLiteral("支払先と口座を CSV ファイルに出力（取込で読み込めます）"));
    buttons->addWidget(list);
    connect(makeCommand(list, this, PageCommand::Export), &QAction::triggered, this, &PayeePage::exportRequested);
}

void PayeePage::openAccountDialog(int row)
{
    // A name still in its editor is the name the details belong to.
    grid_->commit();
    if (row < 0)
        row = grid_->currentRowIndex();
    const QString payee = dat支払先マスタ_->name(row);
    if (payee.trimmed().isEmpty()) {
        context_.msg.ShowMsg(messages::MsgId::登録_口座支払先なし, QString());
        return;
    }
    std::optional<banking::PayeeAccount> stored;
    std::optional<banking::FeeBearer> bearer;
    const bool read = store::skipOnFailure(QStringLiteral("read the payee's account"), [&] {
        stored = banking::AccountStore(context_.session.mainDb()).payeeAccount(payee);
        bearer = banking::PayeeBearers(context_.session.mainDb()).of(payee);
    });
    if (!read) {
        context_.msg.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("支払先の口座"));
        return;
    }
    BankDetailsDialog dialog(payee, stored, context_.msg, this, bearer);
    if (!askAccount || !askAccount(dialog))
        return;
    const std::optional<banking::PayeeAccount>& details = dialog.details();
    const bool written = store::skipOnFailure(QStringLiteral("write the payee's account"), [&] {
        store::Transaction tx(context_.session.mainDb());
        banking::AccountStore accounts(context_.session.mainDb());
        if (details)
            accounts.savePayeeAccount(*details);
        else
            accounts.removePayeeAccount(payee);
        // The bearer is kept with the details and goes with them.
        banking::PayeeBearers(context_.session.mainDb()).set(payee, details ? dialog.bearer() : std::nullopt);
        tx.commit();
    });
    if (!written)
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("「%1」の口座").arg(payee));
    showCurrentAccount(payee);
}

void PayeePage::showCurrentAccount(const QString& payee)
{
    if (payee.trimmed().isEmpty()) {
        account_->clear();
        return;
    }
    std::optional<banking::PayeeAccount> details;
    std::optional<banking::FeeBearer> bearer;
    const bool read = store::skipOnFailure(QStringLiteral("show the payee's account"), [&] {
        details = banking::AccountStore(context_.session.mainDb()).payeeAccount(payee);
        bearer = banking::PayeeBearers(context_.session.mainDb()).of(payee);
    });
    if (!read) {
        account_->clear();
        return;
    }
    if (!details) {
        account_->setText(QStringLiteral("口座：未登録（振込データには使えません）"));
        return;
    }
    const banking::BankAccount& account = details->account;
    // A payee that follows the default says nothing more than before.
    const QString fee = bearer ? QStringLiteral("　手数料：%1").arg(banking::bearerName(*bearer)) : QString();
    account_->setText(QStringLiteral("口座：%1 %2　%3 %4　%5 %6　%7")
                          .arg(account.bankCode, account.bankName, account.branchCode, account.branchName, banking::accountTypeName(account.type), account.number, account.holder)
        + fee);
}

} // namespace payees
