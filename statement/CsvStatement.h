#pragma once

// The banks' own CSV statements, read through the columns chosen for the bank: the day,
// the withdrawal and the deposit amounts, the description and, when the bank writes one,
// a reference number. The first record is the bank's column titles.

#include "Statement.h"

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace statement {

// Columns of a bank's CSV file, counted from 0; -1 for a column the file does not have
// (only the reference may be missing).
struct CsvColumns {
    int date = -1;
    int withdrawal = -1;
    int deposit = -1;
    int description = -1;
    int reference = -1;
    bool complete() const { return date >= 0 && withdrawal >= 0 && deposit >= 0 && description >= 0; }
    friend bool operator==(const CsvColumns&, const CsvColumns&) = default;
};

// The text of a CSV file: UTF-8 (with or without its byte-order mark) when the bytes are
// UTF-8, otherwise CP932; nothing when they are neither.
std::optional<QString> csvText(const QByteArray& bytes);

// The records of CSV text: fields separated by commas, quoted fields may hold commas,
// doubled quotes and line ends. Nothing (and the line in badLine) for a quote left open.
std::optional<std::vector<QStringList>> csvRecords(const QString& text, int* badLine = nullptr);

// The column titles of the file (its first record), by which its bank's columns are
// remembered; empty when the file cannot be read as CSV.
QStringList csvTitles(const QByteArray& bytes);

// Reads the statement through the columns. A record whose fields are all empty is passed
// over; every other record needs a day and one amount. Days are yyyy/mm/dd (also with -
// or . or 年月日, or yyyymmdd) or in era years (令和8年12月8日, R8.12.8); amounts are whole
// yen with or without comma groups and 円. The first place that breaks this is named.
// progress is told the share read so far (0 to 100) now and then.
ReadResult readCsvStatement(const QByteArray& bytes, const CsvColumns& columns, const std::function<void(int)>& progress = {});

// The columns a bank's titles suggest (日付・取引日, 出金・お引出し・支払, 入金・お預入れ・
// 預り, 摘要・内容, 照会番号); -1 where no title suggests one.
CsvColumns guessColumns(const QStringList& titles);

} // namespace statement
