#pragma once

// What a test keeps in the main file before or after the program runs: stored lines,
// payees and the settings row, written and read through the real schema.

#include "TempDataDir.h"

#include <QDate>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace SQLite {
class Database;
}

namespace seed {

// An amount in yen as the files hold it (ten-thousandths).
QVariant yen(qint64 amount);

// One line of 支払予定表; amounts in yen.
struct StoredLine {
    QDate date;
    int lineNumber = 1;
    QString payee;
    qint64 scheduled = 0;
    qint64 paid = 0;
    qint64 balance = 0;
};

void storeLines(SQLite::Database& main, const std::vector<StoredLine>& lines);
void storeLines(const TempDataDir& dir, const std::vector<StoredLine>& lines);
void storePayees(const TempDataDir& dir, const QStringList& names);
// The settings row 自社情報 (年号, 支払先自動登録, LineColor1); a null QVariant stores null.
void storeSettings(const TempDataDir& dir, const QVariant& era, const QVariant& autoRegister, const QVariant& lineColour);

// Every stored line in (日付, 行番号) order as "MM-DD #行番号 支払先名 残高" (yen, '-' for
// null), joined by " / ".
QString storedLines(SQLite::Database& main);
// Every field of every stored line, exactly, for comparing whole states of the file.
QString storedState(SQLite::Database& main);
// The payee master in storage order.
QStringList storedPayees(SQLite::Database& main);
// The settings rows as "年号 支払先自動登録 LineColor1", joined by '|'.
QString storedSettings(SQLite::Database& main);

} // namespace seed
