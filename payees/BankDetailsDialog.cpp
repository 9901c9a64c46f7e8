#include "BankDetailsDialog.h"

#include "AccountForm.h"
#include "KanaField.h"
#include "Msg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace payees {

BankDetailsDialog::BankDetailsDialog(
    const QString& payee, const std::optional<banking::PayeeAccount>& stored, messages::Msg& msg, QWidget* parent, std::optional<banking::FeeBearer> bearer)
    : QDialog(parent)
    , payee_(payee)
    , msg_(msg)
    , bankCode_(field("txt銀行番号", false))
    , bankName_(field("txt銀行名", true))
    , branchCode_(field("txt支店番号", false))
    , branchName_(field("txt支店名", true))
    , type_(new QComboBox(this))
    , number_(field("txt口座番号", false))
    , holder_(field("txt口座名義", true))
    , customerCode_(field("txt顧客コード", false))
    , bearer_(new QComboBox(this))
{
    setObjectName(QStringLiteral("dlg支払先口座"));
    setWindowTitle(QStringLiteral("口座の登録"));
    type_->setObjectName(QStringLiteral("cmb預金種目"));

    auto* name = new QLabel(payee, this);
    name->setObjectName(QStringLiteral("lbl支払先名"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("支払先名"), name);
    banking::addAccountRows(*form, {bankCode_, bankName_, branchCode_, branchName_, type_, number_});
    form->addRow(QStringLiteral("口座名義（カナ30文字まで）"), holder_);
    form->addRow(QStringLiteral("顧客コード（任意）"), customerCode_);
    bearer_->setObjectName(QStringLiteral("cmb手数料負担"));
    bearer_->addItem(QStringLiteral("設定に従う"));
    for (banking::FeeBearer choice : {banking::FeeBearer::Payer, banking::FeeBearer::Payee})
        bearer_->addItem(banking::bearerName(choice), static_cast<int>(choice));
    bearer_->setCurrentIndex(bearer ? std::max(bearer_->findData(static_cast<int>(*bearer)), 0) : 0);
    bearer_->setToolTip(QStringLiteral("先方負担：振込手数料を差し引いた額を振り込みます"));
    form->addRow(QStringLiteral("振込手数料"), bearer_);

    auto* note = new QLabel(QStringLiteral("カナの欄は、ひらがなや全角カタカナで入力すると銀行で使える半角カナになります（小さい「ッ」「ャ」は大きい字になります）。"), this);
    note->setWordWrap(true);

    const banking::DetailsButtons buttons = banking::makeDetailsButtons(*this, "cmd口座登録", "cmd口座削除", stored.has_value());
    connect(buttons.enter, &QPushButton::clicked, this, &BankDetailsDialog::tryAccept);
    connect(buttons.remove, &QPushButton::clicked, this, &BankDetailsDialog::removeDetails);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons.box);
    if (stored)
        showDetails(*stored);
    bankCode_->setFocus(Qt::OtherFocusReason);
}

std::optional<banking::FeeBearer> BankDetailsDialog::bearer() const
{
    const QVariant chosen = bearer_->currentData();
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<banking::FeeBearer>(chosen.toInt());
}

QLineEdit* BankDetailsDialog::field(const char* name, bool kana)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    if (kana)
        edit->setMinimumWidth(320);
    banking::setUpBankField(edit, kana);
    return edit;
}

void BankDetailsDialog::showDetails(const banking::PayeeAccount& details)
{
    const banking::BankAccount& account = details.account;
    bankCode_->setText(account.bankCode);
    bankName_->setText(account.bankName);
    branchCode_->setText(account.branchCode);
    branchName_->setText(account.branchName);
    type_->setCurrentIndex(type_->findData(static_cast<int>(account.type)));
    number_->setText(account.number);
    holder_->setText(account.holder);
    customerCode_->setText(details.customerCode);
}

banking::PayeeAccount BankDetailsDialog::typed() const
{
    banking::PayeeAccount details;
    details.payee = payee_;
    banking::BankAccount& account = details.account;
    account.bankCode = bankCode_->text();
    account.bankName = bankName_->text();
    account.branchCode = branchCode_->text();
    account.branchName = branchName_->text();
    account.type = banking::accountTypeFrom(type_->currentData().toInt());
    account.number = number_->text();
    account.holder = holder_->text();
    details.customerCode = customerCode_->text();
    return details;
}

void BankDetailsDialog::tryAccept()
{
    banking::PayeeAccount details = typed();
    const std::vector<banking::FieldProblem> problems = banking::normalize(details);
    showDetails(details);
    if (!problems.empty()) {
        msg_.ShowMsg(messages::MsgId::登録_口座不備, banking::problemTexts(problems).join(QLatin1Char('\n')));
        return;
    }
    result_ = details;
    accept();
}

void BankDetailsDialog::removeDetails()
{
    result_.reset();
    done(QDialog::Accepted);
}

} // namespace payees
