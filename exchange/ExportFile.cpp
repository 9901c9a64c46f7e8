#include "ExportFile.h"

#include "WholeFile.h"

namespace exchange {

namespace {

// A name in a message: very long names are cut, control characters shown by their code.
QString shownName(const QString& name)
{
    QString shown;
    for (const QChar c : name.left(40))
        shown += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return name.size() > 40 ? shown + QStringLiteral("…") : shown;
}

QString problemLine(const QDate& date, const QString& payee, const QString& what)
{
    return QStringLiteral("%1 「%2」: %3").arg(date.toString(QStringLiteral("yyyy/MM/dd")), shownName(payee), what);
}

} // namespace

QString formatSuffix(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
}

QString defaultFileName(const ExportChoice& choice)
{
    return defaultFileName(QStringLiteral("支払予定表"), choice);
}

QString defaultFileName(const QString& document, const ExportChoice& choice)
{
    QString name = document;
    if (choice.from.isValid()) {
        name += QLatin1Char('_') + monthName(choice.from);
        if (choice.to.isValid() && QDate(choice.to.year(), choice.to.month(), 1) != QDate(choice.from.year(), choice.from.month(), 1))
            name += QLatin1Char('-') + monthName(choice.to);
    }
    return name + QLatin1Char('.') + formatSuffix(choice.format);
}

QStringList exportProblems(const std::vector<MonthData>& months, const ExportChoice& choice)
{
    QStringList lines;
    if (choice.format == ExportFormat::Xlsx) {
        for (const CellProblem& problem : xlsxProblems(months))
            lines << problemLine(problem.date, problem.payee, problem.reason);
    } else if (choice.encoding == CsvEncoding::Cp932) {
        for (const EncodingProblem& problem : cp932Problems(months))
            lines << problemLine(problem.date, problem.payee, problem.characters);
    }
    return lines;
}

QString writeChosenFormat(const ExportChoice& choice, const QString& path, const std::function<QString(const QString& temporaryPath)>& workbook,
    const std::function<QString()>& csv)
{
    if (choice.format == ExportFormat::Xlsx)
        return store::replaceWholeFile(path, workbook);
    const auto bytes = encodeCsv(csv(), choice.encoding);
    if (!bytes)
        return QStringLiteral("CP932");
    return store::writeWholeFile(path, *bytes);
}

QString writeExport(const std::vector<MonthData>& months, const ExportChoice& choice, const QString& path)
{
    return writeChosenFormat(
        choice, path, [&](const QString& temporaryPath) { return writeXlsx(months, temporaryPath); }, [&] { return csvText(months); });
}

} // namespace exchange
