#include "CsvExport.h"

#include "TextCodec.h"

namespace exchange {

namespace {

// Whether a spreadsheet would read the text as a formula once its leading apostrophes
// are gone: the apostrophes of a guarded text are part of what is checked, so that
// taking one off again is never ambiguous.
bool readAsFormula(const QString& text)
{
    static const QString starters = QStringLiteral("=+-@\t\r");
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u'\'')
        ++first;
    return first < text.size() && starters.contains(text.at(first));
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

QString csvAmountField(const std::optional<ledger::Amount>& amount)
{
    return amount ? amount->toExactString() : QString();
}

QString csvTextField(const QString& text)
{
    return csvField(readAsFormula(text) ? QLatin1Char('\'') + text : text);
}

QString csvFieldText(const QString& field)
{
    return field.startsWith(QLatin1Char('\'')) && readAsFormula(field) ? field.mid(1) : field;
}

QString csvTextRecord(const QStringList& texts)
{
    QStringList fields;
    for (const QString& text : texts)
        fields << csvTextField(text);
    return fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

QString csvText(const std::vector<MonthData>& months)
{
    QString text = csvTextRecord({QStringLiteral("日付"), QStringLiteral("支払先名"), QStringLiteral("予定額"), QStringLiteral("支払額"), QStringLiteral("残高")});
    for (const MonthData& month : months) {
        for (const StoredLine& line : month.lines) {
            text += line.日付.toString(QStringLiteral("yyyy/MM/dd"));
            text += QLatin1Char(',') + csvTextField(line.支払先名);
            text += QLatin1Char(',') + csvAmountField(line.予定額);
            text += QLatin1Char(',') + csvAmountField(line.支払額);
            text += QLatin1Char(',') + csvAmountField(line.残高);
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

} // namespace exchange
