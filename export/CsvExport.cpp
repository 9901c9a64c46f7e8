#include "CsvExport.h"

#include "TextCodec.h"

namespace exporting {

namespace {

QString amountField(const std::optional<store::Amount>& amount)
{
    return amount ? amount->toExactString() : QString();
}

} // namespace

QString csvField(const QString& text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    for (qsizetype i = 0; !quote && i < text.size(); ++i)
        quote = special.contains(text.at(i));
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvText(const std::vector<MonthData>& months)
{
    QString text = QStringLiteral("日付,支払先名,予定額,支払額,残高\r\n");
    for (const MonthData& month : months) {
        for (const StoredLine& line : month.lines) {
            text += line.日付.toString(QStringLiteral("yyyy/MM/dd"));
            text += QLatin1Char(',') + csvField(line.支払先名);
            text += QLatin1Char(',') + amountField(line.予定額);
            text += QLatin1Char(',') + amountField(line.支払額);
            text += QLatin1Char(',') + amountField(line.残高);
            text += QStringLiteral("\r\n");
        }
    }
    return text;
}

std::vector<EncodingProblem> cp932Problems(const std::vector<MonthData>& months)
{
    std::vector<EncodingProblem> problems;
    for (const MonthData& month : months) {
        for (const StoredLine& line : month.lines) {
            if (cp932::encode(line.支払先名))
                continue;
            problems.push_back({line.日付, line.支払先名, cp932::unmappable(line.支払先名)});
        }
    }
    return problems;
}

std::optional<QByteArray> encodeCsv(const QString& text, CsvEncoding encoding)
{
    if (encoding == CsvEncoding::Utf8Bom)
        return utf8Bom() + text.toUtf8();
    return cp932::encode(text);
}

} // namespace exporting
