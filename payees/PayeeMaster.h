#pragma once

#include <QString>

namespace store {
class Session;
}

namespace payees {

// The payee master (支払先マスタ in the main file) and its editable copy (w支払先マスタ in
// the work file) that the payee page shows. Widget-free: the page asks its questions,
// commits its grid and refreshes it; these operations only touch the two tables.
class PayeeMaster {
public:
    explicit PayeeMaster(store::Session& session)
        : session_(session)
    {
    }

    // Replaces the copy by the master's names in name order, none ticked, in one
    // transaction of two statements. Throws store::DbError when it fails; the copy is then
    // as it was.
    void Read支払先();

    // Replaces the master by every row of the copy, ticked or not, in the copy's order,
    // as one transaction over both files. A payee renamed on the copy keeps its bank
    // details and payment rule under the new name; the details and rules of names no longer
    // there go. Throws store::DbError when it fails; the master, the details and the rules
    // then hold exactly what they held before.
    void Entry支払先マスタ();

    // Deletes every master row whose name equals a ticked name of the copy, with the bank
    // details and payment rules of names no longer there, in one transaction; then the
    // ticked rows of the copy. A name refused on its own is skipped and logged. Throws
    // store::DbError when a file fails: the master is then as it was, or, when only the copy
    // failed, the ticks are still there.
    void LineDelete支払先マスタ();

    // Empties the master, the payment rules and the bank details. A failure is skipped and
    // logged.
    void Delete支払先マスタ();

    // Makes the work connection forget the original name of a row deleted from the copy
    // (a trigger of the connection): needed before the copy is edited.
    void watchCopy();

    // Empties the copy; the master is not touched. A failure is skipped and logged.
    void Clear支払先マスタ();

private:
    store::Session& session_;
};

} // namespace payees
