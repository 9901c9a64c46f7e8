#include "PaymentRuleBox.h"

#include "Holidays.h"
#include "Msg.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Skip.h"
#include "Transaction.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

namespace payees {

using calendar::HolidayShift;

PaymentRuleBox::PaymentRuleBox(PageContext& context, ledger::PayeeTable& payees, QWidget* parent)
    : QGroupBox(QStringLiteral("支払日"), parent)
    , context_(context)
    , payees_(payees)
    , lbl支払先_(new QLabel(this))
    , cmb支払日_(new QComboBox(this))
    , cmb休日_(new QComboBox(this))
{
    setObjectName(QStringLiteral("fra支払日"));
    lbl支払先_->setObjectName(QStringLiteral("lbl支払日支払先"));
    cmb支払日_->setObjectName(QStringLiteral("cmb支払日"));
    cmb休日_->setObjectName(QStringLiteral("cmb休日"));
    cmb支払日_->addItem(QStringLiteral("指定なし（前月の日）"));
    for (int day = 1; day <= 31; ++day)
        cmb支払日_->addItem(ledger::usualDayText(day), day);
    cmb支払日_->addItem(ledger::usualDayText(ledger::kMonthEnd), ledger::kMonthEnd);
    cmb支払日_->setMaxVisibleItems(12);
    cmb休日_->addItem(QStringLiteral("設定に従う"));
    for (HolidayShift shift : {HolidayShift::前営業日, HolidayShift::翌営業日, HolidayShift::そのまま})
        cmb休日_->addItem(ledger::shiftText(shift), static_cast<int>(shift));
    cmb支払日_->setToolTip(QStringLiteral("前月複写でこの支払先の行に入れる日"));
    cmb休日_->setToolTip(QStringLiteral("支払日が土日・祝日・年末年始（銀行の休業日）のときの日付"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(lbl支払先_, 0, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("支払日"), this), 1, 0);
    layout->addWidget(cmb支払日_, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("休業日のとき"), this), 1, 2);
    layout->addWidget(cmb休日_, 1, 3);
    layout->setColumnStretch(4, 1);

    connect(cmb支払日_, &QComboBox::activated, this, &PaymentRuleBox::storeShownRule);
    connect(cmb休日_, &QComboBox::activated, this, &PaymentRuleBox::storeShownRule);
    showPayee(QString());
}

void PaymentRuleBox::showPayee(const QString& name)
{
    payee_ = name;
    ledger::PaymentRule rule;
    bool registered = false;
    if (!name.isEmpty() && context_.session.isOpen()) {
        store::skipOnFailure(QStringLiteral("read the payment rule"), [&] {
            registered = payees_.holds(name);
            const ledger::PaymentRules rules = ledger::readPaymentRules(context_.session.mainDb());
            if (const auto found = rules.find(name); found != rules.end())
                rule = found->second;
        });
    }
    if (name.isEmpty())
        lbl支払先_->setText(QStringLiteral("支払先の行を選ぶと、その支払日を指定できます。"));
    else if (!registered)
        lbl支払先_->setText(QStringLiteral("「%1」は登録してから支払日を指定できます。").arg(name));
    else
        lbl支払先_->setText(QStringLiteral("「%1」の支払日").arg(name));
    showRule(rule);
    cmb支払日_->setEnabled(registered);
    cmb休日_->setEnabled(registered);
}

void PaymentRuleBox::showRule(const ledger::PaymentRule& rule)
{
    const int day = rule.day ? cmb支払日_->findData(*rule.day) : 0;
    cmb支払日_->setCurrentIndex(std::max(day, 0));
    const int shift = rule.shift ? cmb休日_->findData(static_cast<int>(*rule.shift)) : 0;
    cmb休日_->setCurrentIndex(std::max(shift, 0));
}

ledger::PaymentRule PaymentRuleBox::shownRule() const
{
    ledger::PaymentRule rule;
    if (const QVariant day = cmb支払日_->currentData(); day.isValid())
        rule.day = day.toInt();
    if (const QVariant shift = cmb休日_->currentData(); shift.isValid())
        rule.shift = static_cast<HolidayShift>(shift.toInt());
    return rule;
}

void PaymentRuleBox::storeShownRule()
{
    if (payee_.isEmpty() || !context_.session.isOpen())
        return;
    const ledger::PaymentRule rule = shownRule();
    const bool stored = store::skipOnFailure(QStringLiteral("store the payment rule"), [&] {
        store::Transaction tx(context_.session.mainDb());
        ledger::writePaymentRule(context_.session.mainDb(), payee_, rule);
        tx.commit();
    });
    if (!stored) {
        context_.msg.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("「%1」の支払日").arg(payee_));
        showPayee(payee_);
        return;
    }
    const QString day = rule.day ? ledger::usualDayText(*rule.day) : QStringLiteral("前月の日");
    const QString shift = rule.shift ? ledger::shiftText(*rule.shift) : QStringLiteral("設定に従う");
    emit ruleStored(messages::messageText(messages::MsgId::状態_支払日登録済, QStringLiteral("「%1」の支払日を %2、休業日は %3").arg(payee_, day, shift)));
}

} // namespace payees
