#pragma once

#include "TransferPlan.h"

#include <QDialog>

#include <functional>
#include <vector>

class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace banking {

// 振込データ作成: the payment date (within the month shown) and, for that day, the lines
// that can be paid by transfer, each with its payee's account and unpaid amount and a tick
// (all ticked at first), the count and total of the ticked ones, and apart from them the
// day's lines that cannot be paid by transfer with the reason. 作成 accepts the dialog
// when at least one line is ticked; 振込一覧 shows the ticked lines as a printable list.
class TransferDialog : public QDialog {
    Q_OBJECT
public:
    TransferDialog(const QDate& month, std::vector<SheetEntry> lines, PayeeAccounts accounts, const QDate& day, QWidget* parent = nullptr);

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
    static QDate openingDay(const QDate& month, const QDate& wanted, const std::vector<SheetEntry>& lines, const PayeeAccounts& accounts);

private:
    void buildTables();
    void fillReady();
    void fillApart();
    void showTotal();
    void showHoliday();

    std::vector<SheetEntry> lines_;
    PayeeAccounts accounts_;
    TransferPlan plan_;
    QDateEdit* date_;
    QLabel* holiday_;
    QTableWidget* ready_;
    QTableWidget* apart_;
    QLabel* total_;
    QPushButton* make_;
    QPushButton* list_;
};

// The account as one short text: "普通 1234567".
QString accountText(const BankAccount& account);

} // namespace banking
