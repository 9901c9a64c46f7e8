// The payee page's copy of the master (w支払先マスタ) line by line, with the original names
// of its lines (w支払先元名), for the page's edits and their undo.

#include "PayeeTable.h"

#include "Prepared.h"
#include "Session.h"
#include "Transaction.h"

#include <SQLiteCpp/Database.h>

namespace ledger {

std::vector<PayeeCopyLine> PayeeTable::copyLines()
{
    std::vector<PayeeCopyLine> lines;
    store::Prepared read(work(),
        QStringLiteral("SELECT w.rowid, w.チェック, w.支払先名, o.rowid IS NOT NULL, o.支払先名 FROM w支払先マスタ w "
                       "LEFT JOIN w支払先元名 o ON o.rowid = w.rowid ORDER BY w.rowid"));
    while (read.next())
        lines.push_back({read.integer(0), read.integer(1) != 0, read.value(2), read.integer(3) != 0, read.value(4)});
    return lines;
}

PayeeCopyChanged PayeeTable::changeCopy(const PayeeCopyChange& change)
{
    PayeeCopyChanged changed;
    store::Transaction tx(work());
    store::Prepared write(work(), QStringLiteral("UPDATE w支払先マスタ SET チェック = ?, 支払先名 = ? WHERE rowid = ?"));
    for (const PayeeCopyLine& line : change.write)
        write.exec({qlonglong(line.ticked ? 1 : 0), line.name, line.rowId});
    changed.taken = takeCopyLines(change.take);
    changed.put = putCopyLines(change.put);
    tx.commit();
    return changed;
}

std::vector<PayeeCopyLine> PayeeTable::takeCopyLines(const std::vector<qint64>& rowIds)
{
    std::vector<PayeeCopyLine> taken;
    store::Transaction tx(work());
    store::Prepared read(work(),
        QStringLiteral("SELECT w.rowid, w.チェック, w.支払先名, o.rowid IS NOT NULL, o.支払先名 FROM w支払先マスタ w "
                       "LEFT JOIN w支払先元名 o ON o.rowid = w.rowid WHERE w.rowid = ?"));
    store::Prepared remove(work(), QStringLiteral("DELETE FROM w支払先マスタ WHERE rowid = ?"));
    for (const qint64 rowId : rowIds) {
        read.bind(1, rowId);
        if (read.next())
            taken.push_back({read.integer(0), read.integer(1) != 0, read.value(2), read.integer(3) != 0, read.value(4)});
        read.reset();
        // The connection's trigger lets the line's original name go with it.
        remove.exec({rowId});
    }
    tx.commit();
    return taken;
}

std::vector<PayeeCopyLine> PayeeTable::putCopyLines(const std::vector<PayeeCopyLine>& lines)
{
    std::vector<PayeeCopyLine> stored;
    store::Transaction tx(work());
    // A line goes back at its rowid, so the copy keeps its order, unless that rowid is
    // taken (or none is given); it then goes after the last.
    store::Prepared put(work(),
        QStringLiteral("INSERT INTO w支払先マスタ (rowid, チェック, 支払先名) VALUES ("
                       "(SELECT CASE WHEN ?1 > 0 AND NOT EXISTS (SELECT 1 FROM w支払先マスタ WHERE rowid = ?1) THEN ?1 END), ?2, ?3)"));
    store::Prepared original(work(), QStringLiteral("INSERT OR REPLACE INTO w支払先元名 (rowid, 支払先名) VALUES (?, ?)"));
    for (PayeeCopyLine line : lines) {
        put.exec({line.rowId, qlonglong(line.ticked ? 1 : 0), line.name});
        line.rowId = work().getLastInsertRowid();
        if (line.hasOriginal)
            original.exec({line.rowId, line.original});
        stored.push_back(line);
    }
    tx.commit();
    return stored;
}

void PayeeTable::watchCopy()
{
    // A line deleted from the copy is no rename: its original name goes with it, so that a
    // rowid the engine gives again to a new line never carries another payee's details.
    store::exec(work(),
        QStringLiteral("CREATE TEMP TRIGGER IF NOT EXISTS w支払先マスタ_行削除 AFTER DELETE ON main.w支払先マスタ "
                       "BEGIN DELETE FROM w支払先元名 WHERE rowid = old.rowid; END"));
}

} // namespace ledger
