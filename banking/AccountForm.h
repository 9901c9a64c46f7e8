#pragma once

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace banking {

// The fields of a bank account in a details dialog.
struct AccountFields {
    QLineEdit* bankCode;
    QLineEdit* bankName;
    QLineEdit* branchCode;
    QLineEdit* branchName;
    QComboBox* type;
    QLineEdit* number;
};

// Adds the account's rows to a form, in the order the banks list them, and offers the
// account types in the type list.
void addAccountRows(QFormLayout& form, const AccountFields& fields);

// The buttons of a details dialog: 登録 (the default), 削除 (enabled only while details are
// stored) and キャンセル (rejects the dialog), named for the tests and the hint texts.
struct DetailsButtons {
    QDialogButtonBox* box;
    QPushButton* enter;
    QPushButton* remove;
};
DetailsButtons makeDetailsButtons(QDialog& dialog, const char* enterName, const char* removeName, bool stored);

} // namespace banking
