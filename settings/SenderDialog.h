#pragma once

#include "BankAccount.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
namespace messages {
class Msg;
}

namespace settings {

// 振込依頼人: the sender of bulk-transfer files. The code the bank gave (10 digits), the
// name in kana, the bank, branch, kind and number of the account paid from, and whether
// the file's records go without line ends. The kana fields show what is typed in the
// banks' half-width form once left. 登録 accepts only a sender that goes into a transfer
// file as it stands (a box names every field that does not); 削除 accepts with no sender.
class SenderDialog : public QDialog {
    Q_OBJECT
public:
    SenderDialog(const std::optional<banking::Sender>& stored, messages::Msg& msg, QWidget* parent = nullptr);

    // The sender as the fields hold it (not converted).
    banking::Sender typed() const;
    // After 登録: the sender in the banks' form; after 削除: nothing.
    const std::optional<banking::Sender>& sender() const { return result_; }

    // 登録: converts and checks the fields; accepts when they are fit for a file.
    void tryAccept();
    // 削除: accepts with no sender.
    void removeSender();

private:
    QLineEdit* field(const char* name, bool kana);
    void showSender(const banking::Sender& sender);

    messages::Msg& msg_;
    std::optional<banking::Sender> result_;
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

// The sender in one line for the settings page: "ﾄﾊﾞ-ｸ（0005 ﾐﾂﾋﾞｼ 135 ｼﾌﾞﾔ 当座 1234567）",
// or 未登録.
QString senderSummary(const std::optional<banking::Sender>& sender);

} // namespace settings
