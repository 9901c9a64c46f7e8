#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace exchange {

enum class TextEncoding {
    Detect, // UTF-8 (with or without a byte-order mark) when the lines read as UTF-8, else CP932
    Utf8,
    Cp932,
};

// The limits of a payee list: a larger file is refused before a byte of it is read, and a
// longer line (or CSV record) is refused as soon as the reading passes the limit.
inline constexpr qint64 kMaxImportFileBytes = 16 * 1024 * 1024;
inline constexpr qint64 kMaxImportLineBytes = 4096;

// A line of the list that is not imported, and why, in the catalogue's words.
struct RefusedLine {
    int line = 0; // 1-based line of the file where the record starts
    QString reason;
};

// What a list holds: the names as they will be kept (without the blanks around them,
// empty and blank ones left out), in the list's order, and the lines that cannot be
// imported.
struct PayeeList {
    QString encodingName; // "UTF-8" or "Shift_JIS"
    QStringList names;
    QList<RefusedLine> refused;
    bool cancelled = false;
};

// Told how many bytes of how many are read; answering false stops the reading.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

// Reads a list from a device (a seekable file or buffer) a block at a time, never all of
// it at once. In a CSV file (csv == true) the name is the first field of every record
// (RFC 4180, so quoted names keep their commas, quotes and line breaks), or the field
// under a heading "支払先名" when the first record holds one; in a text file every line is
// a name. CRLF, LF and CR end a line. The apostrophe the CSV export puts before a name
// that a spreadsheet would take for a formula is taken off. A line the encoding cannot
// read, a line or record past kMaxImportLineBytes, and a name that payees::checkPayeeName
// refuses are refused with their line numbers. Detect reads the file as UTF-8 and, when
// its lines show it is not, once more as CP932.
PayeeList readPayeeList(QIODevice& device, bool csv, TextEncoding encoding, const ReadProgress& progress = {});

// The names of a text (as readPayeeList reads it in UTF-8); refused lines are left out.
QStringList namesFromText(const QString& text, bool csv);

} // namespace exchange
