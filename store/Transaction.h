#pragma once

#include "Sql.h"

#include <functional>
#include <memory>

namespace store {

class Prepared;

// Whether the connection is inside an open transaction.
bool inTransaction(SQLite::Database& db);

// Whether an engine result code means that the file itself cannot take the change (full,
// read-only, I/O error, damaged, locked, out of memory), as opposed to one statement
// being refused (a constraint, a bad value).
bool isFileFailure(int code);

// The one way a command writes: an RAII transaction on one connection. Inside an open
// transaction it nests as a savepoint, so an operation that guards itself can also run
// inside a larger one.
//
// step() runs one skippable step in its own savepoint. A step the engine refuses on its
// own (a constraint, a bad value, an amount out of range) is rolled back alone, logged,
// and skipped: step() returns false and the command goes on. A failure of the file
// itself, or a transaction that the engine has already ended (it may end the whole
// transaction on a full disk, an I/O error or lack of memory), throws DbError: the
// command ends, the guard rolls everything back, and the caller reports failure.
// commit() that fails, or finds the transaction already ended, rolls back and throws
// DbError; destruction without commit rolls back.
class Transaction {
public:
    explicit Transaction(SQLite::Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // What a step runs: several statements get a savepoint of their own; one statement is
    // already undone alone by the engine when it is refused, so it needs none.
    enum class Step { Statements, OneStatement };
    bool step(const QString& what, const std::function<void()>& body, Step kind = Step::Statements);
    void commit();
    void rollback() noexcept;
    bool nested() const { return nested_; }

private:
    // Throws when the engine has ended the transaction this guard opened.
    void requireOpen(const QString& what) const;
    void skipped(const QString& what, const std::exception& error, int code);
    // Runs body; a refusal is logged and answered false, a failure of the file throws.
    bool attempt(const QString& what, const std::function<void()>& body);

    SQLite::Database& db_;
    QString name_;
    bool nested_ = false;
    bool open_ = false;
    // The step savepoint's three statements, prepared on the first step.
    std::unique_ptr<Prepared> stepBegin_;
    std::unique_ptr<Prepared> stepRelease_;
    std::unique_ptr<Prepared> stepRollback_;
};

} // namespace store
