// The record layout of 入出金取引明細. The banks' published layouts agree on the data
// and trailer records; for the header, some banks show a three-digit dummy field ("000")
// between 支店名 and 預金種目 and others none. The layout here has it (offsets 59-61), as
// the banks of the most recent documents do; a file whose header lacks it is refused at
// 預金種目 or 口座番号 rather than read with shifted fields. Only the fields the book uses
// are read; the others are checked for their kind of characters.

#include "ZenginStatement.h"

#include "EraCalendar.h"

#include <QHash>

#include <array>

namespace statement {

namespace {

struct Field {
    const char* name;
    int offset;
    int width;
};

// Header (データ区分 1)
constexpr Field kKind{"データ区分", 0, 1};
constexpr Field kLineEnd{"改行", 200, 2};
constexpr Field kBusiness{"種別コード", 1, 2};
constexpr Field kCodeKind{"コード区分", 3, 1};
constexpr Field kMade{"作成日", 4, 6};
constexpr Field kFrom{"勘定日（自）", 10, 6};
constexpr Field kTo{"勘定日（至）", 16, 6};
constexpr Field kBankCode{"銀行コード", 22, 4};
constexpr Field kBankName{"銀行名", 26, 15};
constexpr Field kBranchCode{"支店コード", 41, 3};
constexpr Field kBranchName{"支店名", 44, 15};
constexpr Field kAccountType{"預金種目", 62, 1};
constexpr Field kAccountNumber{"口座番号", 63, 7};
constexpr Field kAccountName{"口座名", 70, 40};
constexpr Field kOpening{"取引前残高", 112, 14};
// Data (データ区分 2)
constexpr Field kReference{"照会番号", 1, 8};
constexpr Field kDate{"勘定日", 9, 6};
constexpr Field kInOut{"入払区分", 21, 1};
constexpr Field kTransaction{"取引区分", 22, 2};
constexpr Field kAmount{"取引金額", 24, 12};
constexpr Field kOtherBank{"うち他店券金額", 36, 12};
constexpr Field kSenderCode{"振込依頼人コード", 71, 10};
constexpr Field kSenderName{"振込依頼人名", 81, 48};
constexpr Field kSenderBank{"仕向銀行名", 129, 15};
constexpr Field kSenderBranch{"仕向店名", 144, 15};
constexpr Field kMemo{"摘要内容", 159, 20};
// Trailer (データ区分 8)
constexpr Field kDepositCount{"入金件数", 1, 6};
constexpr Field kDepositTotal{"入金額合計", 7, 13};
constexpr Field kWithdrawalCount{"出金件数", 20, 6};
constexpr Field kWithdrawalTotal{"出金額合計", 26, 13};
constexpr Field kClosing{"取引後残高", 40, 14};
constexpr Field kDataCount{"データ・レコード件数", 54, 7};

// Which bytes are characters of the banks' single-byte code: ASCII from the space to the
// tilde and the half-width katakana 0xA1-0xDF.
constexpr std::array<bool, 256> kBankBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c <= 0x7E; ++c)
        table[static_cast<std::size_t>(c)] = true;
    for (int c = 0xA1; c <= 0xDF; ++c)
        table[static_cast<std::size_t>(c)] = true;
    return table;
}();

// One record of the file; the first field that breaks the format is kept as the error.
class Record {
public:
    Record(const char* bytes, int number, ReadResult& result)
        : bytes_(bytes)
        , number_(number)
        , result_(result)
    {
    }

    bool failed() const { return !result_.error.reason.isEmpty(); }

    qint64 digits(const Field& field)
    {
        qint64 value = 0;
        for (int i = 0; i < field.width; ++i) {
            const char c = bytes_[field.offset + i];
            if (c < '0' || c > '9')
                return fail(field, QStringLiteral("数字でない文字があります")), 0;
            value = value * 10 + (c - '0');
        }
        return value;
    }

    // The text of a field in the single-byte code, blanks at its end taken off.
    QString text(const Field& field)
    {
        const int length = checkedLength(field);
        if (length <= 0)
            return {};
        QString out(length, Qt::Uninitialized);
        QChar* to = out.data();
        for (int i = 0; i < length; ++i) {
            const auto c = static_cast<unsigned char>(bytes_[field.offset + i]);
            to[i] = c < 0x80 ? QChar(c) : QChar(char16_t(0xFF61 + (c - 0xA1)));
        }
        return out;
    }

    // Checks that every byte of the field is one of the single-byte code's characters;
    // answers the length without the blanks at its end (-1 when a byte is not).
    int checkedLength(const Field& field)
    {
        int length = 0;
        for (int i = 0; i < field.width; ++i) {
            const auto c = static_cast<unsigned char>(bytes_[field.offset + i]);
            if (!kBankBytes[c])
                return fail(field, QStringLiteral("半角の文字でないバイト（0x%1）があります").arg(c, 2, 16, QLatin1Char('0')).toUpper()), -1;
            if (c != ' ')
                length = i + 1;
        }
        return length;
    }

    QDate date(const Field& field, const QDate& notAfter, QHash<int, QDate>& known)
    {
        const auto value = static_cast<int>(digits(field));
        if (failed())
            return {};
        const auto found = known.constFind(value);
        if (found != known.constEnd())
            return *found;
        const QDate day = calendar::dateFromEraDigits(value / 10000, value / 100 % 100, value % 100, notAfter);
        if (!day.isValid())
            return fail(field, QStringLiteral("和暦の日付（年月日）として読めません")), QDate();
        known.insert(value, day);
        return day;
    }

    void expect(const Field& field, const char* value)
    {
        if (std::string_view(bytes_ + field.offset, static_cast<std::size_t>(field.width)) != value)
            fail(field, QStringLiteral("%1 でなければなりません").arg(QLatin1String(value)));
    }

    void fail(const Field& field, const QString& reason)
    {
        if (!failed())
            result_.error = {number_, QString::fromUtf8(field.name), reason};
    }

    int number() const { return number_; }

private:
    const char* bytes_;
    int number_;
    ReadResult& result_;
};

// A group of one account: its header's account and the sums its trailer must show.
struct Group {
    QString account;
    qint64 deposits = 0;
    qint64 depositTotal = 0;
    qint64 withdrawals = 0;
    qint64 withdrawalTotal = 0;
};

// The records' bytes: 200 each, each followed by CR LF or none at all; an end-of-file
// byte (0x1A) after the last is allowed. Nothing when the length fits neither.
std::optional<int> recordStride(const QByteArray& bytes, qsizetype& length)
{
    length = bytes.size();
    if (length > 0 && bytes.at(length - 1) == '\x1A')
        --length;
    if (length >= kZenginRecordSize + 2 && bytes.at(kZenginRecordSize) == '\r' && bytes.at(kZenginRecordSize + 1) == '\n') {
        // The last record may go without its CR LF.
        if (length % (kZenginRecordSize + 2) == kZenginRecordSize)
            length += 2;
        return length % (kZenginRecordSize + 2) == 0 ? std::optional<int>(kZenginRecordSize + 2) : std::nullopt;
    }
    return length % kZenginRecordSize == 0 ? std::optional<int>(kZenginRecordSize) : std::nullopt;
}

void readHeader(Record& r, Group& group, Statement& statement, const QDate& notAfter, QHash<int, QDate>& dates)
{
    r.expect(kBusiness, "03");
    r.expect(kCodeKind, "0");
    r.date(kMade, notAfter, dates);
    const QDate from = r.date(kFrom, notAfter, dates);
    const QDate to = r.date(kTo, notAfter, dates);
    const qint64 bank = r.digits(kBankCode);
    r.checkedLength(kBankName);
    const qint64 branch = r.digits(kBranchCode);
    r.checkedLength(kBranchName);
    const qint64 type = r.digits(kAccountType);
    const qint64 number = r.digits(kAccountNumber);
    r.checkedLength(kAccountName);
    r.digits(kOpening);
    if (!r.failed() && from > to)
        r.fail(kTo, QStringLiteral("勘定日（自）より前の日付です"));
    group = {};
    group.account = QStringLiteral("%1-%2-%3-%4").arg(bank, 4, 10, QLatin1Char('0')).arg(branch, 3, 10, QLatin1Char('0')).arg(type).arg(number, 7, 10, QLatin1Char('0'));
    if (!statement.from.isValid() || from < statement.from)
        statement.from = from;
    if (!statement.to.isValid() || to > statement.to)
        statement.to = to;
}

void readData(Record& r, Group& group, Statement& statement, const QDate& notAfter, QHash<int, QDate>& dates)
{
    StatementLine line;
    line.record = r.number();
    line.account = group.account;
    line.reference = QString::number(r.digits(kReference));
    line.date = r.date(kDate, notAfter, dates);
    const qint64 inOut = r.digits(kInOut);
    if (!r.failed() && inOut != 1 && inOut != 2)
        r.fail(kInOut, QStringLiteral("1（入金）か 2（出金）でなければなりません"));
    r.digits(kTransaction);
    line.yen = r.digits(kAmount);
    r.digits(kOtherBank);
    r.checkedLength(kSenderCode);
    line.name = r.text(kSenderName);
    r.checkedLength(kSenderBank);
    r.checkedLength(kSenderBranch);
    line.memo = r.text(kMemo);
    if (r.failed())
        return;
    line.direction = inOut == 1 ? Direction::Deposit : Direction::Withdrawal;
    if (line.direction == Direction::Deposit) {
        ++group.deposits;
        group.depositTotal += line.yen;
    } else {
        ++group.withdrawals;
        group.withdrawalTotal += line.yen;
    }
    statement.lines.push_back(std::move(line));
}

void readTrailer(Record& r, const Group& group)
{
    const std::pair<const Field&, qint64> sums[] = {
        {kDepositCount, group.deposits},
        {kDepositTotal, group.depositTotal},
        {kWithdrawalCount, group.withdrawals},
        {kWithdrawalTotal, group.withdrawalTotal},
        {kDataCount, group.deposits + group.withdrawals},
    };
    for (const auto& [field, expected] : sums) {
        const qint64 value = r.digits(field);
        if (!r.failed() && value != expected)
            r.fail(field, QStringLiteral("データ・レコードからは %1 です（レコードが欠けているか、余分です）").arg(expected));
    }
    r.digits(kClosing);
}

} // namespace

bool looksLikeZengin(const QByteArray& bytes)
{
    return bytes.size() >= kZenginRecordSize && bytes.startsWith("103");
}

ReadResult readZenginStatement(const QByteArray& bytes, const QDate& notAfter, const std::function<void(int)>& progress)
{
    qsizetype length = 0;
    const std::optional<int> stride = recordStride(bytes, length);
    if (!stride || length == 0)
        return ReadResult::failed(0, {}, QStringLiteral("200 バイトのレコードに分けられない長さです（%1 バイト）").arg(bytes.size()));
    ReadResult result{Statement{}, {}};
    Statement& statement = *result.statement;
    QHash<int, QDate> dates;
    Group group;
    char expected = '1'; // the kinds that may come next: '1', '2' (data or trailer), '9' done
    const qsizetype count = length / *stride;
    statement.lines.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count && !result.error.reason.size(); ++i) {
        if (progress && i % 4096 == 0)
            progress(static_cast<int>(i * 100 / count));
        const char* bytesOf = bytes.constData() + i * *stride;
        Record r(bytesOf, static_cast<int>(i + 1), result);
        // Each record is followed by CR LF when the first is; the last may go without.
        const qsizetype lineEnd = i * *stride + kZenginRecordSize;
        if (*stride > kZenginRecordSize && lineEnd + 2 <= bytes.size() && (bytesOf[200] != '\r' || bytesOf[201] != '\n'))
            r.fail(kLineEnd, QStringLiteral("レコードの後に改行（CR LF）がありません"));
        const char kind = bytesOf[0];
        const bool fits = (expected == '1' && (kind == '1' || (kind == '9' && i > 0))) || (expected == '2' && (kind == '2' || kind == '8'));
        if (!r.failed() && !fits)
            r.fail(kKind, expected == '1' ? QStringLiteral("ヘッダー・レコード（1）かエンド・レコード（9）が来るところです")
                                          : QStringLiteral("データ・レコード（2）かトレーラ・レコード（8）が来るところです"));
        if (r.failed())
            break;
        if (kind == '1') {
            readHeader(r, group, statement, notAfter, dates);
            expected = '2';
        } else if (kind == '2') {
            readData(r, group, statement, notAfter, dates);
        } else if (kind == '8') {
            readTrailer(r, group);
            expected = '1';
        } else {
            expected = '9';
            if (i + 1 < count)
                return ReadResult::failed(static_cast<int>(i + 2), {}, QStringLiteral("エンド・レコードの後にレコードがあります"));
        }
    }
    if (!result.error.reason.isEmpty())
        return {std::nullopt, result.error};
    if (expected != '9')
        return ReadResult::failed(static_cast<int>(count), {}, QStringLiteral("エンド・レコード（9）がありません"));
    if (progress)
        progress(100);
    return result;
}

} // namespace statement
