// The bulk-transfer file (総合振込) of the banks' association, as every Japanese bank's
// business web service takes it: fixed records of 120 bytes of half-width characters
// (JIS X 0201 in Shift_JIS), each optionally followed by CR LF. Numeric fields (N) are
// right-aligned and filled with zeros, text fields (C) left-aligned and filled with
// spaces. Positions are 1-based bytes.
//
// Header record (one):
//   1     データ区分      N 1   1
//   2-3   種別コード      N 2   21 (総合振込)
//   4     コード区分      N 1   0 (JIS / Shift_JIS)
//   5-14  依頼人コード    N 10  given by the bank
//   15-54 依頼人名        C 40
//   55-58 振込指定日      N 4   MMDD
//   59-62 仕向銀行番号    N 4
//   63-77 仕向銀行名      C 15
//   78-80 仕向支店番号    N 3
//   81-95 仕向支店名      C 15
//   96    預金種目        N 1   1 普通, 2 当座, 4 貯蓄, 9 その他
//   97-103 口座番号       N 7
//   104-120 ダミー        C 17  spaces
// Data record (one per transfer):
//   1     データ区分      N 1   2
//   2-5   被仕向銀行番号  N 4
//   6-20  被仕向銀行名    C 15
//   21-23 被仕向支店番号  N 3
//   24-38 被仕向支店名    C 15
//   39-42 手形交換所番号  N 4   unused: 0000
//   43    預金種目        N 1
//   44-50 口座番号        N 7
//   51-80 受取人名        C 30
//   81-90 振込金額        N 10  yen
//   91    新規コード      N 1   0 (no first-time or changed flag)
//   92-101 顧客コード1    N 10  the payee's customer code; spaces when it has none
//   102-111 顧客コード2   N 10  unused: spaces
//   112   振込指定区分    N 1   7 (telegraphic transfer)
//   113   識別表示        C 1   space (customer codes, no EDI information)
//   114-120 ダミー        C 7   spaces
// Trailer record (one):
//   1     データ区分      N 1   8
//   2-7   合計件数        N 6   number of data records
//   8-19  合計金額        N 12  sum of the amounts
//   20-120 ダミー         C 101 spaces
// End record (one):
//   1     データ区分      N 1   9
//   2-120 ダミー          C 119 spaces

#include "TransferFile.h"

#include "BankKana.h"
#include "Msg.h"
#include "Amount.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace banking {

namespace {

// The trailer's count has six digits.
constexpr std::size_t kLargestCount = 999'999;

// Writes the fields of one record into the file's bytes, made to their full size first;
// every value has been checked to fit its field.
class RecordWriter {
public:
    RecordWriter(char* out, bool lineEnds)
        : out_(out)
        , lineEnds_(lineEnds)
    {
    }
    void begin(char kind)
    {
        start_ = out_;
        *out_++ = kind;
    }
    // A numeric field given as digits (at most `width` of them), right-aligned with zeros.
    void digits(const QString& value, int width)
    {
        fill('0', width - static_cast<int>(value.size()));
        for (const QChar c : value)
            *out_++ = static_cast<char>(c.unicode());
    }
    void number(qint64 value, int width)
    {
        char* end = out_ + width;
        for (char* at = end; at > out_;) {
            *--at = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        out_ = end;
    }
    // A text field in the banks' characters (at most `width`), left-aligned with spaces.
    void text(const QString& value, int width)
    {
        for (const QChar c : value)
            *out_++ = bankByte(c);
        spaces(width - static_cast<int>(value.size()));
    }
    void spaces(int width) { fill(' ', width); }
    // Bytes made earlier in the file, copied in.
    void copy(const char* from, int count)
    {
        std::memcpy(out_, from, static_cast<std::size_t>(count));
        out_ += count;
    }
    const char* position() const { return out_; }
    void end()
    {
        Q_ASSERT(out_ - start_ == kRecordLength);
        if (lineEnds_) {
            *out_++ = '\r';
            *out_++ = '\n';
        }
    }

private:
    void fill(char c, int count)
    {
        std::memset(out_, c, static_cast<std::size_t>(count));
        out_ += count;
    }
    char* out_;
    bool lineEnds_;
    const char* start_ = nullptr;
};

void writeHeader(RecordWriter& record, const Sender& sender, const QDate& date)
{
    const BankAccount& from = sender.account;
    record.begin('1');
    record.digits(QStringLiteral("21"), 2);
    record.digits(QStringLiteral("0"), 1);
    record.digits(sender.code, kSenderCodeDigits);
    record.text(sender.name, kSenderNameWidth);
    record.number(date.month() * 100 + date.day(), 4);
    record.digits(from.bankCode, kBankCodeDigits);
    record.text(from.bankName, kBankNameWidth);
    record.digits(from.branchCode, kBranchCodeDigits);
    record.text(from.branchName, kBranchNameWidth);
    record.number(static_cast<int>(from.type), 1);
    record.digits(from.number, kAccountDigits);
    record.spaces(17);
    record.end();
}

// Positions 2-80 of a data record (the account paid to) depend on the account alone.
constexpr int kAccountPart = 79;

void writeAccountPart(RecordWriter& record, const BankAccount& to)
{
    record.digits(to.bankCode, kBankCodeDigits);
    record.text(to.bankName, kBankNameWidth);
    record.digits(to.branchCode, kBranchCodeDigits);
    record.text(to.branchName, kBranchNameWidth);
    record.digits(QString(), 4);
    record.number(static_cast<int>(to.type), 1);
    record.digits(to.number, kAccountDigits);
    record.text(to.holder, kHolderWidth);
}

// A data record. The account part of a transfer with a key is made once and copied for
// the other transfers with that key.
void writeData(RecordWriter& record, const TransferView& transfer, std::unordered_map<const void*, const char*>& madeParts)
{
    record.begin('2');
    if (!transfer.key) {
        writeAccountPart(record, transfer.account);
    } else if (const auto made = madeParts.find(transfer.key); made != madeParts.end()) {
        record.copy(made->second, kAccountPart);
    } else {
        madeParts.emplace(transfer.key, record.position());
        writeAccountPart(record, transfer.account);
    }
    record.number(transfer.yen, 10);
    record.digits(QStringLiteral("0"), 1);
    if (transfer.customerCode.isEmpty())
        record.spaces(kCustomerCodeDigits);
    else
        record.digits(transfer.customerCode, kCustomerCodeDigits);
    record.spaces(10);
    record.digits(QStringLiteral("7"), 1);
    record.spaces(1 + 7);
    record.end();
}

void writeTrailer(RecordWriter& record, int count, qint64 total)
{
    record.begin('8');
    record.number(count, 6);
    record.number(total, 12);
    record.spaces(101);
    record.end();
}

void writeEnd(RecordWriter& record)
{
    record.begin('9');
    record.spaces(119);
    record.end();
}

// What refuses the transfers: their details and amounts, and a total past 12 digits.
QStringList transferProblems(std::size_t count, const std::function<TransferView(std::size_t)>& transferAt, qint64& total)
{
    QStringList problems;
    total = 0;
    std::unordered_set<const void*> checked;
    for (std::size_t i = 0; i < count; ++i) {
        const TransferView transfer = transferAt(i);
        const auto who = [&] { return QStringLiteral("%1件目「%2」の").arg(i + 1).arg(transfer.payee); };
        if (!transfer.key || checked.insert(transfer.key).second) {
            for (const QString& text : problemTexts(problemsOf(transfer.account, transfer.customerCode)))
                problems << who() + text;
        }
        if (transfer.yen <= 0 || transfer.yen > kLargestTransfer)
            problems << who() + messages::messageText(messages::MsgId::入力_振込金額範囲, yenText(transfer.yen));
        else if (total <= kLargestTotal)
            total += transfer.yen;
    }
    if (total > kLargestTotal || count > kLargestCount)
        problems << messages::messageText(messages::MsgId::入力_振込合計超過);
    return problems;
}

} // namespace

TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<Transfer>& transfers)
{
    return makeTransferFile(sender, date, transfers.size(), [&](std::size_t i) {
        const Transfer& transfer = transfers[i];
        return TransferView{transfer.payee, transfer.account, transfer.customerCode, transfer.yen};
    });
}

TransferFile makeTransferFile(const Sender& sender, const QDate& date, std::size_t count, const std::function<TransferView(std::size_t)>& transferAt)
{
    TransferFile file;
    for (const QString& text : problemTexts(problemsOf(sender)))
        file.problems << QStringLiteral("依頼人の") + text;
    if (!date.isValid())
        file.problems << messages::messageText(messages::MsgId::入力_振込日なし);
    if (count == 0)
        file.problems << messages::messageText(messages::MsgId::入力_振込なし);
    file.problems << transferProblems(count, transferAt, file.total);
    if (!file.problems.isEmpty()) {
        file.total = 0;
        return file;
    }
    file.count = static_cast<int>(count);
    const int recordBytes = kRecordLength + (sender.noLineEnds ? 0 : 2);
    file.bytes.resize(static_cast<qsizetype>(count + 3) * recordBytes);
    RecordWriter record(file.bytes.data(), !sender.noLineEnds);
    writeHeader(record, sender, date);
    std::unordered_map<const void*, const char*> madeParts;
    for (std::size_t i = 0; i < count; ++i)
        writeData(record, transferAt(i), madeParts);
    writeTrailer(record, file.count, file.total);
    writeEnd(record);
    return file;
}

QString yenText(qint64 yen)
{
    const std::optional<ledger::Amount> amount = ledger::Amount::fromYen(yen);
    const QString text = amount ? amount->format() : QString::number(yen);
    return text.isEmpty() ? QStringLiteral("0") : text;
}

} // namespace banking
