#pragma once

#include <QString>
#include <QStringList>

#include <unordered_map>
#include <vector>

namespace banking {

// 預金種目: the kinds of account the banks number.
enum class AccountType { Ordinary = 1, Checking = 2, Savings = 4, Other = 9 }; // 普通, 当座, 貯蓄, その他
// The four kinds in the order the dialogs list them.
inline constexpr AccountType kAccountTypes[] = {AccountType::Ordinary, AccountType::Checking, AccountType::Savings, AccountType::Other};
QString accountTypeName(AccountType type);
// The kind of a stored number; 普通 for a number that is none of the four.
AccountType accountTypeFrom(int code);

// Field widths of the transfer file that the details must fit.
inline constexpr int kBankCodeDigits = 4;
inline constexpr int kBranchCodeDigits = 3;
inline constexpr int kAccountDigits = 7;
inline constexpr int kSenderCodeDigits = 10;
inline constexpr int kCustomerCodeDigits = 10;
inline constexpr int kBankNameWidth = 15;
inline constexpr int kBranchNameWidth = 15;
inline constexpr int kHolderWidth = 30;
inline constexpr int kSenderNameWidth = 40;

// A bank account as the transfer file names it: the bank and branch by code and kana name,
// the kind and number of the account and the holder's name in kana.
struct BankAccount {
    QString bankCode;
    QString bankName;
    QString branchCode;
    QString branchName;
    AccountType type = AccountType::Ordinary;
    QString number;
    QString holder;
    bool operator==(const BankAccount&) const = default;
};

// A payee's bank details: the account money goes to and the optional customer code the
// payer's bank carries with each transfer.
struct PayeeAccount {
    QString payee; // 支払先名, the key
    BankAccount account;
    QString customerCode;
    bool operator==(const PayeeAccount&) const = default;
};

// The payees' details by name.
using PayeeAccounts = std::unordered_map<QString, PayeeAccount>;

// The sender (依頼人): the code the bank gave, the name in kana, and the account paid from.
// noLineEnds: the records follow each other without CR LF (for banks that want none).
struct Sender {
    QString code;
    QString name;
    BankAccount account; // holder unused: the name above stands for it
    bool noLineEnds = false;
    bool operator==(const Sender&) const = default;
};

// A field that cannot go into the file as it stands: the field's name and why.
struct FieldProblem {
    QString field;
    QString why;
    QString text() const { return field + QStringLiteral(": ") + why; }
};
QStringList problemTexts(const std::vector<FieldProblem>& problems);

// Brings typed details into the banks' form: the kana fields converted (toBankText), blanks
// around every field removed. Then names every field that is missing, not made of digits,
// of the wrong number of digits, holds a character the banks cannot take, or is longer
// than the file's field (a long name is refused, never cut). Empty when the details can
// go into a file as they are now.
std::vector<FieldProblem> normalize(PayeeAccount& details);
std::vector<FieldProblem> normalize(Sender& sender);

// The same checks without changing anything: what a file made from the details now would
// refuse.
std::vector<FieldProblem> problemsOf(const PayeeAccount& details);
std::vector<FieldProblem> problemsOf(const BankAccount& account, const QString& customerCode);
std::vector<FieldProblem> problemsOf(const Sender& sender);

} // namespace banking
