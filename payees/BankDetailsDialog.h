#pragma once

#include "BankAccount.h"
#include "TransferFees.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
namespace messages {
class Msg;
}

namespace payees {

// 口座の登録: the bank details of one payee for the bulk-transfer file. The kana fields
// take what the user types (hiragana, katakana, full-width letters, lowercase) and show it
// in the banks' half-width form as soon as the field is left; the input method is switched
// on in them and off in the fields of digits. 登録 accepts only details that go into a
// transfer file as they stand (a box names every field that does not); 削除 accepts with
// the details removed. Below the account, who bears the payee's transfer fee (設定に従う,
// 当方負担, 先方負担), kept with the details.
class BankDetailsDialog : public QDialog {
    Q_OBJECT
public:
    BankDetailsDialog(const QString& payee, const std::optional<banking::PayeeAccount>& stored, messages::Msg& msg, QWidget* parent = nullptr,
        std::optional<banking::FeeBearer> bearer = std::nullopt);

    // The details as the fields hold them now (not yet converted).
    banking::PayeeAccount typed() const;
    // After 登録: the details in the banks' form; after 削除: nothing.
    const std::optional<banking::PayeeAccount>& details() const { return result_; }
    // The payee's own bearer as chosen; none follows the book's default.
    std::optional<banking::FeeBearer> bearer() const;

    // 登録: converts and checks the fields; accepts when they are fit for a file.
    void tryAccept();
    // 削除: accepts with no details.
    void removeDetails();

private:
    QLineEdit* field(const char* name, bool kana);
    void showDetails(const banking::PayeeAccount& details);

    QString payee_;
    messages::Msg& msg_;
    std::optional<banking::PayeeAccount> result_;
    QLineEdit* bankCode_;
    QLineEdit* bankName_;
    QLineEdit* branchCode_;
    QLineEdit* branchName_;
    QComboBox* type_;
    QLineEdit* number_;
    QLineEdit* holder_;
    QLineEdit* customerCode_;
    QComboBox* bearer_;
};

} // namespace payees
