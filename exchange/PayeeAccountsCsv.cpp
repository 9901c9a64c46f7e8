#include "PayeeAccountsCsv.h"

#include "CsvExport.h"
#include "Msg.h"

namespace exchange {

namespace {

const char* const kHeadings[] = {"支払先名", "銀行番号", "銀行名", "支店番号", "支店名", "預金種目", "口座番号", "口座名義", "顧客コード"};
const char* const kRuleHeadings[] = {"支払日", "休日"};
const QString kBearerHeading = QStringLiteral("手数料負担");

QStringList headingsOf(const auto& list)
{
    QStringList headings;
    for (const char* heading : list)
        headings << QString::fromUtf8(heading);
    return headings;
}

QStringList ruleFields(const ledger::PaymentRule& rule)
{
    return {rule.day ? ledger::usualDayText(*rule.day) : QString(), rule.shift ? ledger::shiftText(*rule.shift) : QString()};
}

QStringList detailFields(const banking::PayeeAccount& details)
{
    const banking::BankAccount& account = details.account;
    return {account.bankCode, account.bankName, account.branchCode, account.branchName, banking::accountTypeName(account.type), account.number, account.holder,
        details.customerCode};
}

banking::AccountType typeFromText(const QString& text)
{
    for (const banking::AccountType type : banking::kAccountTypes) {
        if (text == banking::accountTypeName(type) || text == QString::number(static_cast<int>(type)))
            return type;
    }
    return banking::AccountType::Ordinary;
}

// A code of digits a spreadsheet read as a number ("5" for "0005") gets its zeros back.
QString codeOf(const QString& text, int digits)
{
    const QString trimmed = text.trimmed();
    bool number = false;
    trimmed.toULongLong(&number);
    return number && trimmed.size() < digits ? trimmed.rightJustified(digits, QLatin1Char('0')) : trimmed;
}

} // namespace

QStringList payeeListHeadings()
{
    QStringList headings = headingsOf(kHeadings);
    for (qsizetype i = 0; i < qsizetype(std::size(kRuleHeadings)); ++i)
        headings.insert(1 + i, QString::fromUtf8(kRuleHeadings[i]));
    headings << kBearerHeading;
    return headings;
}

QString payeeListCsv(const QStringList& names, const banking::PayeeAccounts& accounts, const ledger::PaymentRules& rules,
    const std::map<QString, banking::FeeBearer>& bearers)
{
    QString text = csvTextRecord(payeeListHeadings());
    for (const QString& name : names) {
        const auto found = accounts.find(name);
        const auto rule = rules.find(name);
        QStringList fields{name};
        fields << ruleFields(rule != rules.end() ? rule->second : ledger::PaymentRule{});
        if (found != accounts.end())
            fields << detailFields(found->second);
        else
            fields << QStringList(static_cast<int>(std::size(kHeadings)) - 1, QString());
        const auto bearer = bearers.find(name);
        fields << (bearer != bearers.end() ? banking::bearerName(bearer->second).left(2) : QString());
        text += csvTextRecord(fields);
    }
    return text;
}

ImportedAccounts accountsFromRecords(const QList<QStringList>& records)
{
    ImportedAccounts imported;
    if (records.isEmpty())
        return imported;
    const QStringList headings = headingsOf(kHeadings);
    QList<qsizetype> columns;
    for (const QString& heading : headings)
        columns << records.front().indexOf(heading);
    if (columns[0] < 0)
        return imported;
    const qsizetype bearerColumn = records.front().indexOf(kBearerHeading);
    for (qsizetype r = 1; r < records.size() && bearerColumn >= 0; ++r) {
        const QStringList& record = records[r];
        const QString name = columns[0] < record.size() ? csvFieldText(record[columns[0]]) : QString();
        const QString text = bearerColumn < record.size() ? csvFieldText(record[bearerColumn]).trimmed() : QString();
        if (name.trimmed().isEmpty())
            continue;
        const std::optional<banking::FeeBearer> bearer = banking::bearerFromText(text);
        if (!text.isEmpty() && !bearer)
            imported.refused << QStringLiteral("%1: %2: ").arg(name, kBearerHeading) + messages::messageText(messages::MsgId::入力_手数料負担不可, text);
        else
            imported.bearers.emplace_back(name, bearer);
    }
    if (columns[6] < 0)
        return imported;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QStringList& record = records[r];
        QStringList values;
        for (const qsizetype column : columns)
            values << (column >= 0 && column < record.size() ? csvFieldText(record[column]) : QString());
        const QString name = values[0];
        if (name.trimmed().isEmpty() || std::all_of(values.begin() + 1, values.end(), [](const QString& value) { return value.trimmed().isEmpty(); }))
            continue;
        banking::PayeeAccount details{name,
            {codeOf(values[1], banking::kBankCodeDigits), values[2], codeOf(values[3], banking::kBranchCodeDigits), values[4], typeFromText(values[5].trimmed()),
                values[6], values[7]},
            values[8]};
        if (const auto problems = banking::normalize(details); !problems.empty()) {
            for (const QString& problem : banking::problemTexts(problems))
                imported.refused << name + QStringLiteral(": ") + problem;
            continue;
        }
        imported.accounts.push_back(std::move(details));
    }
    return imported;
}

} // namespace exchange
