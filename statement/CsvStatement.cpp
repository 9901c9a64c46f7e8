#include "CsvStatement.h"

#include "EraCalendar.h"
#include "TextCodec.h"

#include <QRegularExpression>

namespace statement {

namespace {

// A day in one of the forms the banks write; invalid for anything else.
QDate readDay(const QString& field)
{
    const QString text = field.normalized(QString::NormalizationForm_KC).trimmed();
    static const QRegularExpression western(QStringLiteral("^(\\d{4})[/\\-.年](\\d{1,2})[/\\-.月](\\d{1,2})日?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression era(QStringLiteral("^(\\D+?)(\\d{1,2}|元)[/\\-.年](\\d{1,2})[/\\-.月](\\d{1,2})日?$"));
    for (const QRegularExpression* pattern : {&western, &compact}) {
        const QRegularExpressionMatch m = pattern->match(text);
        if (m.hasMatch())
            return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    const QRegularExpressionMatch m = era.match(text);
    if (!m.hasMatch())
        return {};
    const auto month = calendar::parseYearMonth(QStringLiteral("%1%2年%3月").arg(m.captured(1), m.captured(2), m.captured(3)));
    return month ? QDate(month->year, month->month, m.captured(4).toInt()) : QDate();
}

// Whole yen: digits with optional comma groups and 円; -1 for anything else, 0 for blank.
qint64 readYen(const QString& field)
{
    QString text = field.normalized(QString::NormalizationForm_KC).trimmed();
    if (text.endsWith(u'円'))
        text.chop(1);
    text.remove(u',');
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 yen = text.toLongLong(&ok);
    return ok && yen >= 0 && yen <= 9'999'999'999'999LL && !text.startsWith(u'+') ? yen : -1;
}

QString fieldAt(const QStringList& record, int column)
{
    return column >= 0 && column < record.size() ? record.at(column) : QString();
}

} // namespace

std::optional<QString> csvText(const QByteArray& bytes)
{
    if (bytes.startsWith(exchange::utf8Bom()))
        return exchange::isValidUtf8(bytes) ? std::optional<QString>(QString::fromUtf8(bytes.sliced(3))) : std::nullopt;
    if (exchange::isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return exchange::cp932::decode(bytes);
}

std::optional<std::vector<QStringList>> csvRecords(const QString& text, int* badLine)
{
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool any = false;
    int line = 1;
    int quoteLine = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                line += c == u'\n';
                field += c;
            }
        } else if (c == u'"') {
            quoted = any = true;
            quoteLine = line;
        } else if (c == u',') {
            record << field;
            field.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            record << field;
            records.push_back(record);
            record.clear();
            field.clear();
            any = false;
            ++line;
        } else {
            field += c;
            any = true;
        }
    }
    if (quoted) {
        if (badLine)
            *badLine = quoteLine;
        return std::nullopt;
    }
    if (any || !field.isEmpty()) {
        record << field;
        records.push_back(record);
    }
    return records;
}

QStringList csvTitles(const QByteArray& bytes)
{
    const std::optional<QString> text = csvText(bytes);
    if (!text)
        return {};
    const auto records = csvRecords(*text);
    if (!records || records->empty())
        return {};
    QStringList titles = records->front();
    for (QString& title : titles)
        title = title.trimmed();
    return titles;
}

ReadResult readCsvStatement(const QByteArray& bytes, const CsvColumns& columns, const std::function<void(int)>& progress)
{
    const std::optional<QString> text = csvText(bytes);
    if (!text)
        return ReadResult::failed(0, {}, QStringLiteral("UTF-8 でも Shift_JIS でもない文字があります"));
    int badLine = 0;
    const auto records = csvRecords(*text, &badLine);
    if (!records)
        return ReadResult::failed(badLine, {}, QStringLiteral("引用符（\"）が閉じていません"));
    ReadResult result{Statement{}, {}};
    Statement& statement = *result.statement;
    for (std::size_t i = 1; i < records->size(); ++i) {
        if (progress && i % 4096 == 0)
            progress(static_cast<int>(i * 100 / records->size()));
        const QStringList& record = (*records)[i];
        const int number = static_cast<int>(i + 1);
        if (std::all_of(record.begin(), record.end(), [](const QString& f) { return f.trimmed().isEmpty(); }))
            continue;
        StatementLine line;
        line.record = number;
        line.date = readDay(fieldAt(record, columns.date));
        if (!line.date.isValid())
            return ReadResult::failed(number, QStringLiteral("日付"), QStringLiteral("日付として読めません（%1）").arg(fieldAt(record, columns.date)));
        const qint64 out = readYen(fieldAt(record, columns.withdrawal));
        const qint64 in = readYen(fieldAt(record, columns.deposit));
        if (out < 0)
            return ReadResult::failed(number, QStringLiteral("出金"), QStringLiteral("金額として読めません（%1）").arg(fieldAt(record, columns.withdrawal)));
        if (in < 0)
            return ReadResult::failed(number, QStringLiteral("入金"), QStringLiteral("金額として読めません（%1）").arg(fieldAt(record, columns.deposit)));
        if ((out > 0) == (in > 0))
            return ReadResult::failed(number, QStringLiteral("出金"), QStringLiteral("出金か入金のどちらか一方に金額が要ります"));
        line.direction = out > 0 ? Direction::Withdrawal : Direction::Deposit;
        line.yen = out > 0 ? out : in;
        line.name = fieldAt(record, columns.description).trimmed();
        line.reference = fieldAt(record, columns.reference).trimmed();
        if (!statement.from.isValid() || line.date < statement.from)
            statement.from = line.date;
        if (!statement.to.isValid() || line.date > statement.to)
            statement.to = line.date;
        statement.lines.push_back(std::move(line));
    }
    if (progress)
        progress(100);
    return result;
}

CsvColumns guessColumns(const QStringList& titles)
{
    auto find = [&](std::initializer_list<const char16_t*> words) {
        for (int i = 0; i < titles.size(); ++i) {
            for (const char16_t* word : words) {
                if (titles.at(i).contains(QString::fromUtf16(word)))
                    return i;
            }
        }
        return -1;
    };
    return {find({u"日付", u"取引日", u"勘定日"}), find({u"出金", u"引出", u"支払", u"払戻"}), find({u"入金", u"預入", u"預り", u"受入"}),
        find({u"摘要", u"内容", u"お取引"}), find({u"照会番号", u"参照番号", u"取引番号"})};
}

} // namespace statement
