#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace SQLite {
class Database;
}

namespace backup {

// What a book holds, for the restore list and the notice after a restore.
struct BookSummary {
    qint64 storedLines = 0;
    QDate latestMonth; // first day of the month of the latest stored line; invalid when none
};

BookSummary summarize(SQLite::Database& db, const char* schema = "main");

// Opens a file read-only and checks that it is a sound book: a database that passes the
// engine's integrity check and holds every table of the main file with all its columns.
// Nothing is written to the file. Answers the problem in the engine's words, or nothing.
std::optional<QString> checkBookFile(const QString& path);

// The summary of a file holding the book's tables (the engine's page check is left to
// checkBookFile, which runs before a restore), or nothing.
std::optional<BookSummary> summarizeBookFile(const QString& path);

} // namespace backup
