#pragma once

#include "CsvExport.h"
#include "MonthData.h"
#include "XlsxExport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace exchange {

enum class ExportFormat { Xlsx, Csv };

struct ExportChoice {
    ExportFormat format = ExportFormat::Xlsx;
    CsvEncoding encoding = CsvEncoding::Cp932;
    QDate from; // first month
    QDate to;   // last month, the same as from for one month
};

// 支払予定表_2026年12月.xlsx for one month, 支払予定表_2026年01月-2026年12月.csv for a range,
// like the report's PDF; 支払予定表.xlsx without a month.
QString defaultFileName(const ExportChoice& choice);
// The same for another document: 資金繰り表_2026年01月-2026年12月.csv.
QString defaultFileName(const QString& document, const ExportChoice& choice);

// The suffix of the format: "xlsx" or "csv".
QString formatSuffix(ExportFormat format);

// What stands in the way of writing the months as chosen, one text per line that the
// format cannot hold as it is (its date, its payee and what is wrong); empty when all
// can be written exactly.
QStringList exportProblems(const std::vector<MonthData>& months, const ExportChoice& choice);

// Writes the months as chosen to path, whole or not at all. Answers an error text,
// empty on success.
QString writeExport(const std::vector<MonthData>& months, const ExportChoice& choice, const QString& path);

// Writes a file in the chosen format, whole or not at all: a workbook made by `workbook`
// at a temporary path, or the CSV text in the chosen encoding. Answers an error text,
// empty on success.
QString writeChosenFormat(const ExportChoice& choice, const QString& path, const std::function<QString(const QString& temporaryPath)>& workbook,
    const std::function<QString()>& csv);

} // namespace exchange
