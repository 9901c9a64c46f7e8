#pragma once

#include "MonthData.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace exchange {

// A stored line whose payee name an Excel cell cannot hold as it is: more than 32767
// characters, or a NUL character.
struct CellProblem {
    QDate date;
    QString payee;
    QString reason;
};
std::vector<CellProblem> xlsxProblems(const std::vector<MonthData>& months);

// The number Excel stores for an amount in yen, when Excel's 15 significant digits hold
// it exactly; nothing otherwise (the cell then carries the exact text).
std::optional<double> excelNumber(ledger::Amount amount);

// Writes one sheet per month, named like "2026年12月", to the file at path (replaced when
// it exists): the title and caption, the four header figures, a heading row and the
// stored lines; dates as Excel dates, amounts as numbers in "#,##0" with negatives in
// red; the heading rows frozen and repeated on every printed page; A4 portrait, one
// page wide. Answers the library's error text, empty on success.
QString writeXlsx(const std::vector<MonthData>& months, const QString& path);

} // namespace exchange
