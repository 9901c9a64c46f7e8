#include "SenderDialog.h"

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
    for (const banking::AccountType type : banking::kAccountTypes)
        type_->addItem(banking::accountTypeName(type), static_cast<int>(type));
    noLineEnds_->setObjectName(QStringLiteral("chk改行なし"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("依頼人コード（10桁）"), code_);
    form->addRow(QStringLiteral("依頼人名（カナ40文字まで）"), name_);
    form->addRow(QStringLiteral("銀行番号（4桁）"), bankCode_);
    form->addRow(QStringLiteral("銀行名（カナ）"), bankName_);
    form->addRow(QStringLiteral("支店番号（3桁）"), branchCode_);
    form->addRow(QStringLiteral("支店名（カナ）"), branchName_);
    form->addRow(QStringLiteral("預金種目"), type_);
    form->addRow(QStringLiteral("口座番号（7桁まで）"), number_);
    form->addRow(QString(), noLineEnds_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("登録"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmd依頼人登録"));
    ok->setDefault(true);
    QPushButton* remove = buttons->addButton(QStringLiteral("削除"), QDialogButtonBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("cmd依頼人削除"));
    remove->setEnabled(stored.has_value());
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdキャンセル"));
    connect(ok, &QPushButton::clicked, this, &SenderDialog::tryAccept);
    connect(remove, &QPushButton::clicked, this, &SenderDialog::removeSender);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
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
