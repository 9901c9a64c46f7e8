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
    // as one transaction over both files; the payment rules of names no longer there go. Throws store::DbError when it fails; the master
    // then holds exactly what it held before.
    void Entry支払先マスタ();

    // Deletes every master row whose name equals a ticked name of the copy (and the payment
    // rules of names no longer there), then the ticked rows of the copy, each file in a transaction of its own (the master first). A name
    // refused on its own is skipped and logged. Throws store::DbError when a file fails: the
    // master is then as it was, or, when only the copy failed, the ticks are still there.
    void LineDelete支払先マスタ();

    // Empties the master and the payment rules. A failure is skipped and logged.
    void Delete支払先マスタ();

    // Empties the copy; the master is not touched. A failure is skipped and logged.
    void Clear支払先マスタ();

private:
    store::Session& session_;
};

} // namespace payees
