#pragma once

#include "PageContext.h"
#include "PayeeMaster.h"

#include <QWidget>

#include <functional>

class GridView;
class QLabel;
class QPushButton;
class QVBoxLayout;
class WorkTableModel;

namespace payees {

class BankDetailsDialog;
class PaymentRuleBox;

// The payee maintenance page: the editable copy of the payee master and its five commands,
// and below the grid the payment rule of the payee on the current line.
// The grid shows a tick column and the name column, offers an empty line at the end for a
// new name, and removes the current row from the copy on the Delete key.
class PayeePage : public QWidget {
    Q_OBJECT
public:
    explicit PayeePage(PageContext& context, QWidget* parent = nullptr);

    // Binds the data source and sets up the grid's two columns.
    void setUpControls();
    // Empties the page; the master is not touched.
    void Clear支払先マスタ();
    // Loads the master into the page, sorted by name; answers whether the page now holds
    // the master (a failure is told in a box).
    bool Read支払先();
    // Writes the page over the master (after the question of the register button);
    // a failure leaves the master as it was and is reported.
    void Entry支払先マスタ();
    // Asks, then deletes the ticked names from the master and the ticked rows from the page.
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
    // The payee master changed (registered, names deleted): lists built from it follow.
    void masterChanged();
    // A short text for the window's status line.
    void statusText(const QString& text);

private:
    void onEnterClicked();
    // The 口座 (Ctrl+K) and 出力 buttons below the page's commands, and the double-click on
    // a line's number.
    void addAccountCommand(QVBoxLayout* buttons);
    void refreshPage();
    void onGridKey(int& key, Qt::KeyboardModifiers modifiers);
    // Ctrl+V on the grid: each pasted name is checked as if typed and goes into the page's
    // copy line by line (names past the last line into new lines); the refused ones are
    // named in a box, the others go in.
    void pasteNames(const QString& text);
    // A name typed into the grid is kept without the blanks around it; a name that
    // checkPayeeName refuses is not taken: the cell keeps its value and a box says why.
    void nameAccepted(int column);
    // The payment rule box follows the grid's current line.
    void connectRuleBox();
    void showCurrentRule();
    // Below the rule: whether the payee on the current line has bank details, and which.
    void showCurrentAccount(const QString& payee);
    template <class F>
    void guarded(const char* what, F&& body) noexcept;

    PageContext& context_;
    PayeeMaster master_;
    WorkTableModel* dat支払先マスタ_;
    GridView* grid_;
    PaymentRuleBox* ruleBox_;
    QLabel* account_;
};

} // namespace payees
