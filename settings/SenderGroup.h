#pragma once

#include "BankAccount.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLineEdit;
namespace SQLite {
class Database;
}
namespace messages {
class Msg;
}

namespace settings {

// The settings page's group for the sender of bulk-transfer files (振込依頼人): the code
// the bank gave, the name in kana, the bank, branch, kind and number of the account paid
// from, and whether the file's records go without line ends. The kana fields show what is
// typed in the banks' half-width form once left. All fields blank means no sender.
class SenderGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit SenderGroup(QWidget* parent = nullptr);

    // The stored sender into the fields (blank when there is none). Throws store::DbError.
    void read(SQLite::Database& main);
    // Blank fields; nothing stored.
    void clear();
    // Converts the typed fields to the banks' form and checks them; a box names every field
    // that does not fit a transfer file. True when the fields can be stored (or are blank).
    bool checkTyped(messages::Msg& msg);
    // Stores the fields as the sender (blank fields remove it); fields that checkTyped
    // would refuse are not stored. Throws store::DbError.
    void store(SQLite::Database& main);
    // Removes the stored sender and blanks the fields. Throws store::DbError.
    void remove(SQLite::Database& main);

    // The sender as the fields hold it (not converted).
    exchange::Sender typed() const;
    bool isBlank() const;

private:
    QLineEdit* field(const char* name, bool kana);
    void showSender(const exchange::Sender& sender);

    QLineEdit* code_;
    QLineEdit* name_;
    QLineEdit* bankCode_;
    QLineEdit* bankName_;
    QLineEdit* branchCode_;
    QLineEdit* branchName_;
    QComboBox* type_;
    QLineEdit* number_;
    QCheckBox* noLineEnds_;
};

} // namespace settings
