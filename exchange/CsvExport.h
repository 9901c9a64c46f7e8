#pragma once

#include "MonthData.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace exchange {

enum class CsvEncoding {
    Cp932,   // Shift_JIS as Excel reads it by default
    Utf8Bom, // UTF-8 with a byte-order mark
};

// A stored line whose payee name holds characters CP932 has no code for.
struct EncodingProblem {
    QDate date;
    QString payee;
    QString characters; // each character once
};

// The CSV text (RFC 4180): a heading record 日付,支払先名,予定額,支払額,残高 and one record
// per stored line of every month in order; the payee names are text fields. Dates are yyyy/MM/dd; amounts are exact yen
// with their decimals and no grouping ("-1234.5"), blank when null. Fields holding a
// comma, a quote, a line break or blanks at either end are quoted, quotes doubled;
// records end in CRLF.
QString csvText(const std::vector<MonthData>& months);

// One field as RFC 4180 writes it.
QString csvField(const QString& text);

// An amount field: exact yen with their decimals and no grouping ("-1234.5"), blank when null.
QString csvAmountField(const std::optional<ledger::Amount>& amount);

// A text field (a name, a heading, a caption) as a spreadsheet will not run it: a text
// that, after any apostrophes, begins with = + - @, a tab or a carriage return would be
// read as a formula, so it gets one apostrophe in front; then it is written as csvField
// does. Amounts and dates are never passed here: -1234 stays a number.
QString csvTextField(const QString& text);

// The text of a field csvTextField wrote: the apostrophe it put in front taken off again.
// Any other text comes back as it is, so every text survives the way out and back.
QString csvFieldText(const QString& field);

// Texts as one record of text fields, ending in CRLF.
QString csvTextRecord(const QStringList& texts);

// The lines that CP932 cannot hold, named before anything is written.
std::vector<EncodingProblem> cp932Problems(const std::vector<MonthData>& months);

// The bytes of the text in the chosen encoding; nothing when CP932 cannot hold it.
std::optional<QByteArray> encodeCsv(const QString& text, CsvEncoding encoding);

} // namespace exchange
