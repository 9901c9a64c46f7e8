#pragma once

#include "Sql.h"

#include <functional>

namespace store {

// RAII transaction on one connection. Inside an open transaction it nests as a
// savepoint, so an operation that guards itself can also run inside a larger one.
// step() runs one skippable step in its own savepoint: a step that throws is rolled
// back alone, logged, and the transaction goes on. commit() that fails rolls the
// whole transaction back and throws DbError; destruction without commit rolls back.
class Transaction {
public:
    explicit Transaction(SQLite::Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool step(const QString& what, const std::function<void()>& body);
    void commit();
    void rollback() noexcept;
    bool nested() const { return nested_; }

private:
    SQLite::Database& db_;
    QString name_;
    bool nested_ = false;
    bool open_ = false;
    int steps_ = 0;
};

} // namespace store
