#include "SenderGroup.h"

#include "AccountStore.h"
#include "KanaField.h"
#include "Msg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace settings {

SenderGroup::SenderGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("振込依頼人（振込データ作成に使います）"), parent)
    , code_(field("txt依頼人コード", false))
    , name_(field("txt依頼人名", true))
    , bankCode_(field("txt仕向銀行番号", false))
    , bankName_(field("txt仕向銀行名", true))
    , branchCode_(field("txt仕向支店番号", false))
    , branchName_(field("txt仕向支店名", true))
    , type_(new QComboBox(this))
    , number_(field("txt依頼人口座番号", false))
    , noLineEnds_(new QCheckBox(QStringLiteral("振込データのレコードを改行で区切らない（改行なしを求める銀行のとき）"), this))
{
    setObjectName(QStringLiteral("grp振込依頼人"));
    type_->setObjectName(QStringLiteral("cmb依頼人預金種目"));
    for (const exchange::AccountType type : exchange::kAccountTypes)
        type_->addItem(exchange::accountTypeName(type), static_cast<int>(type));
    noLineEnds_->setObjectName(QStringLiteral("chk改行なし"));
    auto* grid = new QGridLayout(this);
    const auto row = [&](int at, int column, const char* label, QWidget* widget) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), at, column);
        grid->addWidget(widget, at, column + 1);
    };
    row(0, 0, "依頼人コード（10桁）", code_);
    row(0, 2, "依頼人名（カナ）", name_);
    row(1, 0, "銀行番号（4桁）", bankCode_);
    row(1, 2, "銀行名（カナ）", bankName_);
    row(2, 0, "支店番号（3桁）", branchCode_);
    row(2, 2, "支店名（カナ）", branchName_);
    row(3, 0, "預金種目", type_);
    row(3, 2, "口座番号", number_);
    grid->addWidget(noLineEnds_, 4, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    setTabOrder(code_, name_);
    setTabOrder(name_, bankCode_);
    setTabOrder(bankCode_, bankName_);
    setTabOrder(bankName_, branchCode_);
    setTabOrder(branchCode_, branchName_);
    setTabOrder(branchName_, type_);
    setTabOrder(type_, number_);
    setTabOrder(number_, noLineEnds_);
}

QLineEdit* SenderGroup::field(const char* name, bool kana)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    exchange::setUpBankField(edit, kana);
    return edit;
}

void SenderGroup::showSender(const exchange::Sender& sender)
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

exchange::Sender SenderGroup::typed() const
{
    exchange::Sender sender;
    sender.code = code_->text();
    sender.name = name_->text();
    sender.account.bankCode = bankCode_->text();
    sender.account.bankName = bankName_->text();
    sender.account.branchCode = branchCode_->text();
    sender.account.branchName = branchName_->text();
    sender.account.type = exchange::accountTypeFrom(type_->currentData().toInt());
    sender.account.number = number_->text();
    sender.noLineEnds = noLineEnds_->isChecked();
    return sender;
}

bool SenderGroup::isBlank() const
{
    for (const QLineEdit* edit : {code_, name_, bankCode_, bankName_, branchCode_, branchName_, number_}) {
        if (!edit->text().trimmed().isEmpty())
            return false;
    }
    return true;
}

void SenderGroup::read(SQLite::Database& main)
{
    const std::optional<exchange::Sender> stored = exchange::AccountStore(main).sender();
    if (stored)
        showSender(*stored);
    else
        clear();
}

void SenderGroup::clear()
{
    showSender(exchange::Sender());
}

bool SenderGroup::checkTyped(messages::Msg& msg)
{
    if (isBlank())
        return true;
    exchange::Sender sender = typed();
    const std::vector<exchange::FieldProblem> problems = exchange::normalize(sender);
    showSender(sender);
    if (problems.empty())
        return true;
    msg.ShowMsg(QStringLiteral("登録"), QStringLiteral("依頼人不備"), exchange::problemTexts(problems).join(QLatin1Char('\n')));
    return false;
}

void SenderGroup::store(SQLite::Database& main)
{
    exchange::AccountStore accounts(main);
    if (isBlank()) {
        accounts.removeSender();
        return;
    }
    exchange::Sender sender = typed();
    if (exchange::normalize(sender).empty())
        accounts.saveSender(sender);
}

void SenderGroup::remove(SQLite::Database& main)
{
    exchange::AccountStore(main).removeSender();
    clear();
}

} // namespace settings
