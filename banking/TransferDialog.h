#pragma once

#include "TransferPlan.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace banking {

// What the transfer dialog is made from: the month's sheet lines, the payee master's
// payees' bank details, the names whose details are kept though the payee master no
// longer holds them (never used), and what the fees are worked out from.
struct TransferSources {
    std::vector<SheetEntry> lines;
    PayeeAccounts accounts;
    QStringList unlisted;
    FeeContext fees;
};

// 振込データ作成: the payment date (within the month shown; a bank holiday or a day before
// `today` is pointed out beside it) and, for that day, the lines that can be paid by
// transfer, each with its payee's account, who bears the fee, the bill (支払金額), the fee
// deducted (先方負担), the amount transferred (振込金額), the fee the bank charges and a
// tick; a line whose deducted and charged fees differ is marked with the difference. Under
// the lines: the count and total of the ticked transfers, their fees and what leaves the
// account (引落予定額). Apart from them the day's lines that cannot be paid by transfer
// with the reason. Every line starts ticked except one that repeats an earlier
// line's payee and amount: it is marked and stays unticked until the user ticks it, and the
// summary names it. 作成 accepts the dialog when at least one line is ticked; 振込一覧
// shows the ticked lines as a printable list.
class TransferDialog : public QDialog {
    Q_OBJECT
public:
    TransferDialog(const QDate& month, TransferSources sources, const QDate& day, const QDate& today, QWidget* parent = nullptr);

    QDate day() const;
    // Shows the lines of another day (kept within the month).
    void setDay(const QDate& day);
    const TransferPlan& plan() const { return plan_; }
    // Ticks or unticks the ready line at `index` (in the order shown).
    void setTicked(int index, bool ticked);
    // The ticked lines in the order shown.
    std::vector<TransferCandidate> chosen() const;

    // Asked to show the ticked lines as a list (振込一覧).
    std::function<void(const QDate& day, const std::vector<TransferCandidate>& chosen)> listRequested;

    // The day the dialog opens on: `wanted` when it lies in the month, else the first day of
    // the month with a line ready for a transfer, else the month's first day.
    static QDate openingDay(const QDate& month, const QDate& wanted, const TransferSources& sources);

private:
    void buildTables();
    void fillReady();
    void fillFees(int index, const TransferCandidate& line);
    void fillApart();
    void showTotal();
    void showDateNote();

    TransferSources sources_;
    QDate today_;
    TransferPlan plan_;
    QDateEdit* date_;
    QLabel* dateNote_;
    QTableWidget* ready_;
    QTableWidget* apart_;
    QLabel* total_;
    QPushButton* make_;
    QPushButton* list_;
};

// The account as one short text: "普通 1234567".
QString accountText(const BankAccount& account);

} // namespace banking
