#pragma once

#include "PageContext.h"
#include "PayeeTable.h"

#include <QWidget>

#include <functional>

class GridView;
class QLabel;
class QPushButton;
class QUndoStack;
class QVBoxLayout;

namespace payees {

class BankDetailsDialog;
class PayeeModel;
class PaymentRuleBox;

// The payee maintenance page: the editable copy of the payee master and its five commands,
// and below the grid the payment rule of the payee on the current line.
// The grid shows a tick column and the name column, offers an empty line at the end for a
// new name, and removes the current row from the copy on the Delete key. Each edit of the
// copy is a step of the page's history (history()); 読込, 登録 and 削除 start it afresh.
class PayeePage : public QWidget {
    Q_OBJECT
public:
    explicit PayeePage(PageContext& context, QWidget* parent = nullptr);

    // Binds the data source and sets up the grid's two columns.
    void setUpControls();
    // The payee tables, which tell when the master changed (payeesChanged).
    ledger::PayeeTable& payeeTable() { return payees_; }
    // The edits of the page, for 元に戻す and やり直し.
    QUndoStack* history() const;
    // 元に戻す and やり直し on the page: the last step undone or done again; answers
    // whether there was one.
    bool undoEdit();
    bool redoEdit();
    // Empties the page, its history too (at start); the master is not touched.
    void Clear支払先マスタ();
    // Loads the master into the page, sorted by name; answers whether the page now holds
    // the master (a failure is told in a box).
    bool Read支払先();
    // Writes the page over the master (after the question of the register button);
    // a failure leaves the master as it was and is reported.
    void Entry支払先マスタ();
    // Asks, then deletes the ticked names from the master (with their bank details and
    // rules) and the ticked rows from the page, as one step of the page's history.
    void LineDelete支払先マスタ();
    // Asks, then empties the master and the page.
    void Delete支払先マスタ();

    // cmd支払先口座 (also a double-click on a line's number): the bank details of the payee
    // on the grid's line `row` (the current line for -1) in the details dialog; what the
    // dialog registers or deletes is written to the main file at once.
    void openAccountDialog(int row = -1);
    // The details dialog's run, replaceable for tests: answers whether it was accepted.
    std::function<bool(BankDetailsDialog& dialog)> askAccount;

signals:
    void hintRequested(const QString& controlName);
    // cmd支払先取込: payee names in from a list.
    void importRequested();
    // cmd支払先出力: the payee list with the bank details out to a file.
    void exportRequested();
    // A short text for the window's status line.
    void statusText(const QString& text);

private:
    void onEnterClicked();
    // クリア: the page emptied as one step of its history.
    void onClearClicked();
    // The 口座 (Ctrl+K) and 出力 buttons below the page's commands, and the double-click on
    // a line's number.
    void addAccountCommand(QVBoxLayout* buttons);
    bool walkHistory(bool forward);
    void onGridKey(int& key, Qt::KeyboardModifiers modifiers);
    // Ctrl+V on the grid: each pasted name is checked as if typed and goes into the page's
    // copy (names past the last line into new lines) as one step; the refused ones are
    // named in a box, the others go in.
    void pasteNames(const QString& text);
    // A name the model refused: the cell keeps its value and a box says why.
    void nameRefused(const QString& name, const QString& why);
    // An undo or redo that could not be written: the page shows the copy as stored.
    void historyFailed();
    // The payment rule box follows the grid's current line.
    void connectRuleBox();
    void showCurrentRule();
    // Below the rule: whether the payee on the current line has bank details, and which.
    void showCurrentAccount(const QString& payee);
    template <class F>
    void guarded(const char* what, F&& body) noexcept;

    PageContext& context_;
    ledger::PayeeTable payees_;
    PayeeModel* dat支払先マスタ_;
    GridView* grid_;
    PaymentRuleBox* ruleBox_;
    QLabel* account_;
};

} // namespace payees
