#pragma once

#include "PaymentRules.h"
#include "Sql.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace store {
class Session;
}

namespace ledger {

// The rowids of the drop-down list w支払先名 follow its name order this far apart, so that a
// name can later go in between two others without the list being rebuilt.
inline constexpr qint64 kListRowIdGap = qint64(1) << 32;

// One line of the payee page's copy (w支払先マスタ) with its rowid, which orders the copy,
// and the master's name it was read with (w支払先元名), if any.
struct PayeeCopyLine {
    qint64 rowId = 0; // 0: a line not stored yet
    bool ticked = false;
    QVariant name; // null for a line without a name
    bool hasOriginal = false;
    QVariant original;
    friend bool operator==(const PayeeCopyLine&, const PayeeCopyLine&) = default;
};

// A change of the copy, and what it did.
struct PayeeCopyChange {
    std::vector<PayeeCopyLine> write;
    std::vector<qint64> take;
    std::vector<PayeeCopyLine> put;
};
struct PayeeCopyChanged {
    std::vector<PayeeCopyLine> taken;
    std::vector<PayeeCopyLine> put;
};

// What a deletion of payees took out of the book, kept so that it can be put back: the
// master's rows with their rowids (the master's order), the rows of the tables that hold
// a payee's details by its name (payment rules, bank details, fee bearer) that went with
// them, and the copy's lines.
struct RemovedPayees {
    std::vector<store::Row> master;
    std::vector<std::vector<store::Row>> details; // by table, in the order the owner keeps them
    std::vector<PayeeCopyLine> copy;
};

// The owner of the payee tables: the payee master (支払先マスタ in the main file), the
// payee page's editable copy of it (w支払先マスタ, with w支払先元名) and the month grid's
// drop-down list (w支払先名) in the work file. A deletion takes the payees' payment rules
// and bank details with it. Every change runs in a transaction (a deletion and its undo in
// two: the master's, then the copy's) and throws
// store::DbError when it fails, leaving the tables as they were; after a change of the
// master commits, payeesChanged() is emitted.
class PayeeTable : public QObject {
    Q_OBJECT
public:
    explicit PayeeTable(store::Session& session, QObject* parent = nullptr);

    // The master's names in its order (rowid), and whether it holds a name.
    QStringList names();
    bool holds(const QString& name);

    // Adds the name unless a row holds exactly that text; answers whether one was added.
    bool add(const QString& name);
    // The same for several names inside a transaction the caller holds on the main
    // connection (a month's save registers the names typed on its sheet so).
    static void addNames(SQLite::Database& main, const QStringList& names);
    // Appends names the master does not hold (each once), sorted, and stores the payment
    // rules given, in one transaction; `proceed` is asked now and then with the count done
    // and answering false rolls everything back (the answer is then false).
    bool appendNames(const QStringList& names, const std::vector<std::pair<QString, PaymentRule>>& rules,
        const std::function<bool(qint64 done, qint64 total)>& proceed);

    // Replaces the copy by the master's names in name order, none ticked.
    void readIntoCopy();
    // Replaces the master by every line of the copy in its order. A payee renamed on the
    // copy keeps its bank details and payment rule under the new name; the details and
    // rules of names no longer there go.
    void enterCopy();
    // Deletes the master's rows named by a ticked line of the copy with the details and
    // rules of names no longer there (a name the file refuses on its own is skipped and
    // logged), then, in a transaction of their own, the ticked lines. Answers what went,
    // for putBack().
    RemovedPayees removeTicked();
    // Puts back what removeTicked() took, the master first: rows at their rowids where
    // those are free.
    void putBack(const RemovedPayees& removed);
    // Empties the master, the payment rules and the bank details.
    void removeAll();

    // The copy's lines in rowid order.
    std::vector<PayeeCopyLine> copyLines();
    // Changes the copy in one transaction: gives stored lines new ticks and names, takes
    // lines out (unknown rowids are passed over) and puts lines in (at their rowids where
    // free and given, else after the last). Answers the lines taken, as they were stored,
    // and the lines put, with the rowids they got.
    PayeeCopyChanged changeCopy(const PayeeCopyChange& change);
    // Makes the work connection forget the original name of a line deleted from the copy
    // (a trigger of the connection): needed before the copy is edited.
    void watchCopy();

    // Rebuilds the drop-down list as a copy of the master (duplicates and empty names
    // included) with the `typed` names the master lacks, sorted by name, the rowids
    // kListRowIdGap apart.
    void rebuildList(const QStringList& typed);
    // The same list copied from the copy right after readIntoCopy() filled it.
    void copyListFromCopy();
    // Names put into the drop-down list at the rowids given (between their neighbours'), in
    // one transaction.
    void insertListNames(const std::vector<std::pair<qint64, QString>>& names);

signals:
    // The master changed (names added, replaced, deleted or put back).
    void payeesChanged();

private:
    SQLite::Database& main();
    SQLite::Database& work();
    std::vector<PayeeCopyLine> takeCopyLines(const std::vector<qint64>& rowIds);
    std::vector<PayeeCopyLine> putCopyLines(const std::vector<PayeeCopyLine>& lines);

    store::Session& session_;
};

} // namespace ledger
