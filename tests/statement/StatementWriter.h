#pragma once

// A small writer of 入出金取引明細 files for the tests: records laid out field by field
// from the published layout, in the banks' single-byte code.

#include <QByteArray>
#include <QString>

#include <vector>

namespace statement_test {

// The banks' single-byte bytes of half-width text (ASCII and half-width katakana).
inline QByteArray bankBytes(const QString& text)
{
    QByteArray out;
    for (const QChar c : text)
        out += c.unicode() >= 0xFF61 ? char(c.unicode() - 0xFF61 + 0xA1) : char(c.unicode());
    return out;
}

class RecordBuilder {
public:
    RecordBuilder& number(qint64 value, int width)
    {
        bytes_ += QByteArray::number(value).rightJustified(width, '0');
        return *this;
    }
    RecordBuilder& digits(const char* text)
    {
        bytes_ += text;
        return *this;
    }
    RecordBuilder& text(const QString& value, int width)
    {
        bytes_ += bankBytes(value).leftJustified(width, ' ', true);
        return *this;
    }
    QByteArray record() const { return bytes_.leftJustified(200, ' '); }

private:
    QByteArray bytes_;
};

struct Entry {
    const char* date = "081208"; // era YYMMDD
    int inOut = 2;               // 1 入金, 2 出金
    qint64 yen = 0;
    QString name;
    QString memo;
    qint64 reference = 0;
};

struct Account {
    const char* from = "081201";
    const char* to = "081231";
    std::vector<Entry> entries;
};

inline QByteArray header(const Account& a)
{
    return RecordBuilder()
        .digits("1")
        .digits("03")
        .digits("0")
        .digits(a.to)
        .digits(a.from)
        .digits(a.to)
        .number(5, 4)
        .text(QStringLiteral("ﾐﾂﾋﾞｼ"), 15)
        .number(123, 3)
        .text(QStringLiteral("ｼﾌﾞﾔ"), 15)
        .digits("000")
        .number(2, 1)
        .number(7654321, 7)
        .text(QStringLiteral("ｶ)ﾄﾊﾞ-ｸ"), 40)
        .digits("1")
        .digits("0")
        .number(1000000, 14)
        .record();
}

inline QByteArray data(const Entry& e)
{
    return RecordBuilder()
        .digits("2")
        .number(e.reference, 8)
        .digits(e.date)
        .digits(e.date)
        .number(e.inOut, 1)
        .digits(e.inOut == 1 ? "11" : "14")
        .number(e.yen, 12)
        .number(0, 12)
        .number(0, 6)
        .number(0, 6)
        .digits("0")
        .number(0, 7)
        .number(0, 3)
        .text(QString(), 10)
        .text(e.name, 48)
        .text(QString(), 15)
        .text(QString(), 15)
        .text(e.memo, 20)
        .record();
}

inline QByteArray trailer(const Account& a)
{
    qint64 in = 0, inTotal = 0, out = 0, outTotal = 0;
    for (const Entry& e : a.entries) {
        (e.inOut == 1 ? in : out) += 1;
        (e.inOut == 1 ? inTotal : outTotal) += e.yen;
    }
    const qint64 closing = 1000000 + inTotal - outTotal; // an overdraft is 貸越区分 2
    return RecordBuilder()
        .digits("8")
        .number(in, 6)
        .number(inTotal, 13)
        .number(out, 6)
        .number(outTotal, 13)
        .digits(closing < 0 ? "2" : "1")
        .number(closing < 0 ? -closing : closing, 14)
        .number(in + out, 7)
        .record();
}

inline QByteArray endRecord() { return RecordBuilder().digits("9").record(); }

// The records of the accounts in order, each followed by CR LF when lineEnds.
inline std::vector<QByteArray> records(const std::vector<Account>& accounts)
{
    std::vector<QByteArray> out;
    for (const Account& a : accounts) {
        out.push_back(header(a));
        for (const Entry& e : a.entries)
            out.push_back(data(e));
        out.push_back(trailer(a));
    }
    out.push_back(endRecord());
    return out;
}

inline QByteArray join(const std::vector<QByteArray>& records, bool lineEnds)
{
    QByteArray out;
    for (const QByteArray& r : records)
        out += lineEnds ? r + "\r\n" : r;
    return out;
}

inline QByteArray statementFile(const std::vector<Account>& accounts, bool lineEnds)
{
    return join(records(accounts), lineEnds);
}

} // namespace statement_test
