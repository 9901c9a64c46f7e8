#pragma once

#include "Book.h"
#include "ChainCheck.h"

#include <QDate>
#include <QString>

#include <optional>

namespace SQLite {
class Database;
}

namespace backup {

using ledger::BookSummary;

// Opens a file read-only and checks that it is a sound book: a database that passes the
// engine's integrity check and holds every table of the main file with all its columns,
// and that a restore can bring up to date (the tables and indexes added since its version
// can be made, and every table then has its columns). Nothing is written to the file.
// Answers the problem in the engine's words, or nothing.
std::optional<QString> checkBookFile(const QString& path);

// The first line of a book file (a backup) whose stored balance does not follow from the
// lines and carry-overs before it, or nothing when the chain holds or the file cannot be
// read. Nothing is written to the file.
std::optional<ledger::ChainBreak> chainBreakOf(const QString& path);

// The summary of a file holding the book's tables (the engine's page check is left to
// checkBookFile, which runs before a restore), or nothing.
std::optional<BookSummary> summarizeBookFile(const QString& path);

} // namespace backup
