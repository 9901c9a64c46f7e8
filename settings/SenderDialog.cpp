#include "SenderDialog.h"

#include "AccountForm.h"
#include "KanaField.h"
#include "Msg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace settings {

SenderDialog::SenderDialog(const std::optional<banking::Sender>& stored, messages::Msg& msg, QWidget* parent)
    : QDialog(parent)
    , msg_(msg)
    , code_(field("txt依頼人コード", false))
    , name_(field("txt依頼人名", true))
    , bankCode_(field("txt仕向銀行番号", false))
    , bankName_(field("txt仕向銀行名", true))
    , branchCode_(field("txt仕向支店番号", false))
    , branchName_(field("txt仕向支店名", true))
    , type_(new QComboBox(this))
    , number_(field("txt依頼人口座番号", false))
    , noLineEnds_(new QCheckBox(QStringLiteral("レコードを改行で区切らない（改行なしを求める銀行のとき）"), this))
{
    setObjectName(QStringLiteral("dlg振込依頼人"));
    setWindowTitle(QStringLiteral("振込依頼人"));
    type_->setObjectName(QStringLiteral("cmb依頼人預金種目"));
    noLineEnds_->setObjectName(QStringLiteral("chk改行なし"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("依頼人コード（10桁）"), code_);
    form->addRow(QStringLiteral("依頼人名（カナ40文字まで）"), name_);
    banking::addAccountRows(*form, {bankCode_, bankName_, branchCode_, branchName_, type_, number_});
    form->addRow(QString(), noLineEnds_);

    const banking::DetailsButtons buttons = banking::makeDetailsButtons(*this, "cmd依頼人登録", "cmd依頼人削除", stored.has_value());
    connect(buttons.enter, &QPushButton::clicked, this, &SenderDialog::tryAccept);
    connect(buttons.remove, &QPushButton::clicked, this, &SenderDialog::removeSender);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons.box);
    if (stored)
        showSender(*stored);
    code_->setFocus(Qt::OtherFocusReason);
}

QLineEdit* SenderDialog::field(const char* name, bool kana)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    if (kana)
        edit->setMinimumWidth(360);
    banking::setUpBankField(edit, kana);
    return edit;
}

void SenderDialog::showSender(const banking::Sender& sender)
{
    code_->setText(sender.code);
    name_->setText(sender.name);
    bankCode_->setText(sender.account.bankCode);
    bankName_->setText(sender.account.bankName);
    branchCode_->setText(sender.account.branchCode);
    branchName_->setText(sender.account.branchName);
    type_->setCurrentIndex(std::max(0, type_->findData(static_cast<int>(sender.account.type))));
    number_->setText(sender.account.number);
    noLineEnds_->setChecked(sender.noLineEnds);
}

banking::Sender SenderDialog::typed() const
{
    banking::Sender sender;
    sender.code = code_->text();
    sender.name = name_->text();
    sender.account.bankCode = bankCode_->text();
    sender.account.bankName = bankName_->text();
    sender.account.branchCode = branchCode_->text();
    sender.account.branchName = branchName_->text();
    sender.account.type = banking::accountTypeFrom(type_->currentData().toInt());
    sender.account.number = number_->text();
    sender.noLineEnds = noLineEnds_->isChecked();
    return sender;
}

void SenderDialog::tryAccept()
{
    banking::Sender sender = typed();
    const std::vector<banking::FieldProblem> problems = banking::normalize(sender);
    showSender(sender);
    if (!problems.empty()) {
        msg_.ShowMsg(messages::MsgId::登録_依頼人不備, banking::problemTexts(problems).join(QLatin1Char('\n')));
        return;
    }
    result_ = sender;
    accept();
}

void SenderDialog::removeSender()
{
    result_.reset();
    done(QDialog::Accepted);
}

QString senderSummary(const std::optional<banking::Sender>& sender)
{
    if (!sender)
        return QStringLiteral("未登録");
    const banking::BankAccount& account = sender->account;
    return QStringLiteral("%1\n%2 %3 %4 %5\n%6 %7")
        .arg(sender->name, account.bankCode, account.bankName, account.branchCode, account.branchName, banking::accountTypeName(account.type), account.number);
}

} // namespace settings
