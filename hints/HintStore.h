#pragma once

#include <QString>

#include <optional>

namespace SQLite {
class Database;
}

namespace hints {

// The user's hint texts in the work file's ClHint: at most one row per form name and
// control name. Every call finishes its statements before it returns and never throws;
// a failing statement is logged and skipped.
class HintStore {
public:
    explicit HintStore(SQLite::Database& work)
        : db_(work)
    {
    }

    // The text stored for the key; nothing when no row is stored, its text is null or the
    // read failed.
    std::optional<QString> read(const QString& formName, const QString& ctlName) const;

    // Replaces the key's row by one with the given title and text. The delete and the
    // insert form one transaction, so a failure keeps the old row. Returns whether the
    // new row was stored.
    bool write(const QString& formName, const QString& ctlName, const QString& formTitle, const QString& contents);

    // Deletes the key's row; succeeds also when there is none. Returns false when the
    // delete failed.
    bool remove(const QString& formName, const QString& ctlName);

private:
    SQLite::Database& db_;
};

} // namespace hints
