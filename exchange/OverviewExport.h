#pragma once

#include "Overview.h"
#include "ExportFile.h"

#include <QString>

namespace exchange {

// The cash-flow overview (資金繰り表) out to a workbook or CSV: one row per month with its
// year-month as the book labels it (Western or era years), 繰越額, 予定額計, 支払額計,
// 月末残高, 最低残高 and the day of the lowest balance.

// The CSV text: the heading record, then one record per month; amounts exact in yen
// ("-1234.5"), blank when a sum did not fit; the day as yyyy/MM/dd; records end in CRLF.
QString overviewCsvText(const ledger::Overview& overview, bool era);

// One sheet "資金繰り表": the title and the range, a heading row and the months; amounts
// as numbers in "#,##0" with negatives in red, the day as an Excel date; the heading row
// frozen and repeated on every printed page; A4 landscape, one page wide. Answers the
// library's error text, empty on success.
QString writeOverviewXlsx(const ledger::Overview& overview, bool era, const QString& path);

// The choice for the overview's range, in the chosen format and encoding.
ExportChoice overviewChoice(const ledger::Overview& overview, ExportFormat format, CsvEncoding encoding);

// 資金繰り表_2026年01月-2026年12月.xlsx.
QString overviewFileName(const ExportChoice& choice);

// Writes the overview as chosen to path, whole or not at all. Answers an error text,
// empty on success.
QString writeOverviewExport(const ledger::Overview& overview, bool era, const ExportChoice& choice, const QString& path);

} // namespace exchange
