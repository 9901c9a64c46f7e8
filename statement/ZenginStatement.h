#pragma once

// The banks' association file of an account's entries (入出金取引明細, 全銀協規定形式):
// records of 200 bytes in the banks' single-byte code (JIS X 0201 as Shift_JIS has it),
// with or without CR LF after each, in groups of one header (データ区分 1), its data
// records (2) and a trailer (8), closed by one end record (9).

#include "Statement.h"

#include <QByteArray>

#include <functional>

namespace statement {

inline constexpr int kZenginRecordSize = 200;

// Whether the bytes begin like such a file: a header record of 入出金取引明細 (種別コード 03).
bool looksLikeZengin(const QByteArray& bytes);

// Reads the whole file, or names the first record and field that break the format (a
// digit field with other characters, a date no era holds, a byte outside the single-byte
// code, a record out of its order, a trailer whose counts or totals differ from its data
// records, bytes after the end record). Era dates are read as the latest era that puts
// them on or before notAfter. progress is told the share read so far (0 to 100) now and
// then.
ReadResult readZenginStatement(const QByteArray& bytes, const QDate& notAfter, const std::function<void(int)>& progress = {});

} // namespace statement
