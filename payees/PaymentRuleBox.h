#pragma once

#include "PageContext.h"
#include "PaymentRules.h"

namespace ledger {
class PayeeTable;
}

#include <QGroupBox>

class QComboBox;
class QLabel;

namespace payees {

// The payee page's payment rule of the payee on the grid's current line: its usual day
// (指定なし, 1日 to 31日, 末日) and what a day on a bank holiday does (設定に従う, 前営業日,
// 翌営業日, そのまま). A choice is stored at once in the main file's 支払日規則 under the
// payee's name; a name the master does not hold yet (a line not registered) has no rule
// until the page is registered.
class PaymentRuleBox : public QGroupBox {
    Q_OBJECT
public:
    PaymentRuleBox(PageContext& context, ledger::PayeeTable& payees, QWidget* parent = nullptr);

    // Shows the rule of the payee (read from the file); an empty name, or one the master
    // does not hold, shows a box that cannot be changed.
    void showPayee(const QString& name);
    const QString& payee() const { return payee_; }

    // The rule as the two lists show it.
    ledger::PaymentRule shownRule() const;

signals:
    // The rule was stored; the text says so, for the status line.
    void ruleStored(const QString& text);

private:
    void showRule(const ledger::PaymentRule& rule);
    void storeShownRule();

    PageContext& context_;
    ledger::PayeeTable& payees_;
    QString payee_;
    QLabel* lbl支払先_;
    QComboBox* cmb支払日_;
    QComboBox* cmb休日_;
};

} // namespace payees
