#include "PrintCommand.h"

#include "Calendar.h"
#include "ReportWindow.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

#include <SQLiteCpp/Database.h>

namespace report {

namespace {

// Lines without a payee are left out; a payee cell that was emptied holds an empty text,
// which counts as no payee as well.
const char* const kUsedLines = "WHERE 支払先名 IS NOT NULL AND 支払先名 <> '' ORDER BY rowid";
const char* const kColumns = "表示日付, 支払先名, 予定額, 支払額, 残高, 日付";

std::vector<PrintRow> readRows(SQLite::Database& db, const QString& sql)
{
    std::vector<PrintRow> rows;
    const auto read = store::queryRows(db, sql);
    rows.reserve(read.size());
    for (const store::Row& row : read) {
        PrintRow line;
        line.表示日付 = row[0].isNull() ? QString() : row[0].toString();
        line.支払先名 = row[1].isNull() ? QString() : row[1].toString();
        line.予定額 = ledger::Amount::fromVariant(row[2]);
        line.支払額 = ledger::Amount::fromVariant(row[3]);
        line.残高 = ledger::Amount::fromVariant(row[4]);
        line.日付 = row[5].isNull() ? QDate() : calendar::fromStoredText(row[5].toString());
        rows.push_back(std::move(line));
    }
    return rows;
}

} // namespace

bool fillPrintTable(SQLite::Database& work)
{
    return store::skipOnFailure(QStringLiteral("InpWork印刷"), [&] {
        store::Transaction transaction(work);
        store::exec(work, QStringLiteral("DELETE FROM InpWork印刷"));
        store::exec(work, QStringLiteral("INSERT INTO InpWork印刷 SELECT * FROM InpWork ") + QString::fromUtf8(kUsedLines));
        transaction.commit();
    });
}

std::vector<PrintRow> readPrintTable(SQLite::Database& work)
{
    return readRows(work, QStringLiteral("SELECT ") + QString::fromUtf8(kColumns) + QStringLiteral(" FROM InpWork印刷 ORDER BY rowid"));
}

std::vector<PrintRow> readSheetLines(SQLite::Database& work)
{
    return readRows(work, QStringLiteral("SELECT ") + QString::fromUtf8(kColumns) + QStringLiteral(" FROM InpWork ") + QString::fromUtf8(kUsedLines));
}

std::vector<PrintRow> collectPrintRows(SQLite::Database& work)
{
    std::vector<PrintRow> rows;
    if (fillPrintTable(work) && store::skipOnFailure(QStringLiteral("InpWork印刷 read"), [&] { rows = readPrintTable(work); }))
        return rows;
    rows.clear();
    store::skipOnFailure(QStringLiteral("InpWork read"), [&] { rows = readSheetLines(work); });
    return rows;
}

ReportWindow* openMonthlyReport(SQLite::Database& work, const ReportHeader& header, qint64 lineColor, messages::Msg& msg, QWidget* owner)
{
    // A second press shows the month as it is now in the window already open.
    return ReportWindow::showOnce(layoutReport(header, collectPrintRows(work), lineColor), msg, owner);
}

} // namespace report
