#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {
class Session;
}

namespace exporting {

enum class TextEncoding {
    Detect, // UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8, else CP932
    Utf8,
    Cp932,
};

// A file's text, or the 1-based line numbers whose bytes the encoding cannot read.
struct DecodedText {
    std::optional<QString> text;
    QString encodingName; // "UTF-8" or "Shift_JIS"
    QList<int> badLines;
};
DecodedText decodeText(const QByteArray& bytes, TextEncoding encoding);

// Splits CSV text into records of fields (RFC 4180; CRLF, LF or CR end a record).
QList<QStringList> csvRecords(const QString& text);

// The names of a list: in a CSV file (csv == true) the first field of every record
// (RFC 4180, so quoted names keep their commas, quotes and line breaks), or the field
// under a heading "支払先名" when the first record holds one; in a text file every line.
// Names are kept exactly as written, but for the apostrophe the CSV export puts before
// a name a spreadsheet would take for a formula; lines that are empty or blank are left out.
QStringList namesFromText(const QString& text, bool csv);

// What an import of names will do: the names to add, in the list's order, each once;
// the names the master already holds; and how many repeats of the list were dropped.
struct ImportPlan {
    QStringList toAdd;
    QStringList alreadyThere;
    int repeats = 0;
};
ImportPlan planImport(store::Session& session, const QStringList& names);

// Adds the names to 支払先マスタ in one transaction: all of them or, when any cannot be
// added, none. Throws store::DbError then.
void addPayees(store::Session& session, const QStringList& names);

} // namespace exporting
