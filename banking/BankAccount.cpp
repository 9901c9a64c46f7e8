#include "BankAccount.h"

#include "BankKana.h"
#include "Msg.h"

namespace banking {

namespace {

bool allDigits(const QString& text)
{
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Checks a field of digits: exactly `digits` of them (or, with upTo, at most), or empty
// when optional.
void checkDigits(std::vector<FieldProblem>& problems, const char* field, const QString& value, int digits, bool upTo = false, bool optional = false)
{
    if (value.isEmpty()) {
        if (!optional)
            problems.push_back({QString::fromUtf8(field), messages::messageText(messages::MsgId::入力_口座未入力)});
        return;
    }
    const bool fits = upTo ? value.size() <= digits : value.size() == digits;
    if (!allDigits(value) || !fits)
        problems.push_back({QString::fromUtf8(field), messages::messageText(upTo ? messages::MsgId::入力_口座桁以内 : messages::MsgId::入力_口座桁, QString::number(digits))});
}

// Checks a kana field already converted: the banks' characters only, at most `width`.
void checkText(std::vector<FieldProblem>& problems, const char* field, const QString& value, int width, bool optional)
{
    if (value.isEmpty()) {
        if (!optional)
            problems.push_back({QString::fromUtf8(field), messages::messageText(messages::MsgId::入力_口座未入力)});
        return;
    }
    if (!isBankText(value)) {
        problems.push_back({QString::fromUtf8(field), messages::messageText(messages::MsgId::入力_口座文字, nonBankChars(value))});
        return;
    }
    if (value.size() > width)
        problems.push_back({QString::fromUtf8(field), messages::messageText(messages::MsgId::入力_口座長さ, QStringLiteral("%1 文字、%2 文字まで").arg(value.size()).arg(width))});
}

// The typed text of a digit field (full-width digits and blanks allowed) in plain digits.
QString digitsOf(const QString& typed)
{
    return toBankText(typed.trimmed()).text.remove(u' ');
}

// The typed text of a name in the banks' form; characters it cannot take stay in it
// (checkText names them).
QString kanaOf(const QString& typed)
{
    return toBankText(typed.trimmed()).text.trimmed();
}

void normalizeAccount(BankAccount& account, bool withHolder)
{
    account.bankCode = digitsOf(account.bankCode);
    account.bankName = kanaOf(account.bankName);
    account.branchCode = digitsOf(account.branchCode);
    account.branchName = kanaOf(account.branchName);
    account.number = digitsOf(account.number);
    if (withHolder)
        account.holder = kanaOf(account.holder);
}

void checkAccount(std::vector<FieldProblem>& problems, const BankAccount& account)
{
    checkDigits(problems, "銀行番号", account.bankCode, kBankCodeDigits);
    checkText(problems, "銀行名", account.bankName, kBankNameWidth, true);
    checkDigits(problems, "支店番号", account.branchCode, kBranchCodeDigits);
    checkText(problems, "支店名", account.branchName, kBranchNameWidth, true);
    checkDigits(problems, "口座番号", account.number, kAccountDigits, true);
}

} // namespace

QString accountTypeName(AccountType type)
{
    switch (type) {
    case AccountType::Ordinary:
        return QStringLiteral("普通");
    case AccountType::Checking:
        return QStringLiteral("当座");
    case AccountType::Savings:
        return QStringLiteral("貯蓄");
    case AccountType::Other:
        return QStringLiteral("その他");
    }
    return {};
}

AccountType accountTypeFrom(int code)
{
    for (const AccountType type : kAccountTypes) {
        if (static_cast<int>(type) == code)
            return type;
    }
    return AccountType::Ordinary;
}

QStringList problemTexts(const std::vector<FieldProblem>& problems)
{
    QStringList texts;
    for (const FieldProblem& problem : problems)
        texts << problem.text();
    return texts;
}

std::vector<FieldProblem> normalize(PayeeAccount& details)
{
    normalizeAccount(details.account, true);
    details.customerCode = digitsOf(details.customerCode);
    return problemsOf(details);
}

std::vector<FieldProblem> normalize(Sender& sender)
{
    normalizeAccount(sender.account, false);
    sender.code = digitsOf(sender.code);
    sender.name = kanaOf(sender.name);
    return problemsOf(sender);
}

std::vector<FieldProblem> problemsOf(const PayeeAccount& details)
{
    return problemsOf(details.account, details.customerCode);
}

std::vector<FieldProblem> problemsOf(const BankAccount& account, const QString& customerCode)
{
    std::vector<FieldProblem> problems;
    checkAccount(problems, account);
    checkText(problems, "口座名義", account.holder, kHolderWidth, false);
    checkDigits(problems, "顧客コード", customerCode, kCustomerCodeDigits, true, true);
    return problems;
}

std::vector<FieldProblem> problemsOf(const Sender& sender)
{
    std::vector<FieldProblem> problems;
    checkDigits(problems, "依頼人コード", sender.code, kSenderCodeDigits);
    checkText(problems, "依頼人名", sender.name, kSenderNameWidth, false);
    checkAccount(problems, sender.account);
    return problems;
}

} // namespace banking
