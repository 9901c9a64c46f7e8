#pragma once

#include "Session.h"

#include <QString>

namespace SQLite {
class Database;
}

namespace settings {

// The three settings as the page and the rest of the program hold them.
struct SettingsValues {
    QString 年号 = store::kEraWestern;
    bool 支払先自動登録 = true;
    qint64 LineColor1 = 0;
    friend bool operator==(const SettingsValues&, const SettingsValues&) = default;
};

// The settings record: the first row of 自社情報 in the main file. Widget-free; each
// operation guards its steps on its own, so a failing step is skipped and logged.
class SettingsRecord {
public:
    explicit SettingsRecord(SQLite::Database& mainDb)
        : db_(mainDb)
    {
    }

    // The stored values: the defaults when there is no row; per field, a null era reads
    // as "西暦", a null or false registration flag as off, a null colour as 0. A stored
    // era is taken as it stands, whatever its text.
    SettingsValues read();
    // Writes the values into the first row, or adds the row when there is none.
    void write(const SettingsValues& values);
    // Puts the defaults into the first row when there is one; never adds or removes a row.
    void reset();

private:
    SQLite::Database& db_;
};

} // namespace settings
